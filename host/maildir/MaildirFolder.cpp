#include "host/maildir/MaildirFolder.h"

#include "host/common/VirtualFolder.h"

#include "host/common/FolderList.h"
#include "host/maildir/MaildirItems.h"
#include "host/maildir/MaildirStore.h"

namespace lumora {

MaildirFolder::MaildirFolder(std::shared_ptr<MaildirStore> store, const QString &dir, int itemType, QObject *parent)
    : host::MAPIFolder(parent)
    , m_store(std::move(store))
    , m_dir(dir)
    , m_itemType(itemType)
{
}

MaildirFolder::~MaildirFolder() = default;

QString MaildirFolder::EntryID() const
{
    return m_itemType == host::MailItemType ? MaildirStore::folderEntryId(m_dir) : VirtualFolder::entryId(m_itemType);
}

QString MaildirFolder::StoreID() const
{
    return m_store->storeId();
}

QString MaildirFolder::Name() const
{
    return m_itemType == host::MailItemType ? m_store->displayName(m_dir) : VirtualFolder::name(m_itemType);
}

QString MaildirFolder::FolderPath() const
{
    return m_itemType == host::MailItemType ? m_store->folderPath(m_dir) : QString();
}

host::ItemsPtr MaildirFolder::items()
{
    return std::make_shared<MaildirItems>(m_store, m_dir, m_itemType);
}

int MaildirFolder::UnReadItemCount() const
{
    if (m_itemType != host::MailItemType)
        return -1;
    // The index is listed on first use: directory names only, no message is opened.
    const MaildirFolderIndex *index = m_store->index(m_dir);
    return index ? index->unreadCount() : -1;
}

host::FoldersPtr MaildirFolder::folders()
{
    QList<host::FolderPtr> children;
    if (m_itemType == host::MailItemType) {
        for (const QString &child : m_store->childDirs(m_dir))
            children.append(std::make_shared<MaildirFolder>(m_store, child));
    }
    return std::make_shared<FolderList>(children);
}

} // namespace lumora
