#include "host/mbox/MboxFolder.h"

#include "host/common/FolderList.h"
#include "host/common/VirtualFolder.h"
#include "host/mbox/MboxItems.h"
#include "host/mbox/MboxStore.h"

#include <QFileInfo>

namespace lumora {

MboxFolder::MboxFolder(std::shared_ptr<MboxStore> store, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_store(std::move(store))
    , m_itemType(itemType)
{
}

MboxFolder::~MboxFolder() = default;

QString MboxFolder::EntryID() const
{
    return m_itemType == host::MailItemType ? MboxStore::folderEntryId() : VirtualFolder::entryId(m_itemType);
}

QString MboxFolder::StoreID() const
{
    return m_store->storeId();
}

QString MboxFolder::Name() const
{
    return m_itemType == host::MailItemType ? QFileInfo(m_store->path()).fileName() : VirtualFolder::name(m_itemType);
}

QString MboxFolder::FolderPath() const
{
    return m_itemType == host::MailItemType ? m_store->path() : QString();
}

host::ItemsPtr MboxFolder::items()
{
    return std::make_shared<MboxItems>(m_store, m_itemType);
}

host::FoldersPtr MboxFolder::folders()
{
    return std::make_shared<FolderList>(QList<host::FolderPtr>());
}

int MboxFolder::UnReadItemCount() const
{
    return m_itemType == host::MailItemType ? m_store->file().unreadCount() : -1;
}

} // namespace lumora
