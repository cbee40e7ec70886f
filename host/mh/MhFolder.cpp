#include "host/mh/MhFolder.h"

#include "host/common/FolderList.h"
#include "host/common/VirtualFolder.h"
#include "host/mh/MhItems.h"
#include "host/mh/MhStore.h"

namespace lumora {

MhFolder::MhFolder(std::shared_ptr<MhStore> store, const QString &dir, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_itemType(itemType)
{
}

MhFolder::~MhFolder() = default;

QString MhFolder::EntryID() const
{
    return m_itemType == host::MailItemType ? MhStore::folderEntryId(m_dir) : VirtualFolder::entryId(m_itemType);
}

QString MhFolder::StoreID() const
{
    return m_store->storeId();
}

QString MhFolder::Name() const
{
    return m_itemType == host::MailItemType ? m_store->displayName(m_dir) : VirtualFolder::name(m_itemType);
}

QString MhFolder::FolderPath() const
{
    return m_itemType == host::MailItemType ? m_store->folderPath(m_dir) : QString();
}

host::ItemsPtr MhFolder::items()
{
    return std::make_shared<MhItems>(m_store, m_dir, m_itemType);
}

host::FoldersPtr MhFolder::folders()
{
    QList<host::FolderPtr> children;
    if (m_itemType == host::MailItemType) {
        for (const QString &child : m_store->childDirs(m_dir))
            children.append(std::make_shared<MhFolder>(m_store, child));
    }
    return std::make_shared<FolderList>(children);
}

int MhFolder::UnReadItemCount() const
{
    return m_itemType == host::MailItemType ? m_store->unreadCount(m_dir) : -1;
}

} // namespace lumora
