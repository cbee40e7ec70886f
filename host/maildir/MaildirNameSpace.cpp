#include "host/maildir/MaildirNameSpace.h"

#include "host/maildir/MaildirFolder.h"
#include "host/maildir/MaildirFolders.h"
#include "host/maildir/MaildirItem.h"
#include "host/maildir/MaildirStore.h"

#include <QFileInfo>

namespace lumora {

MaildirNameSpace::MaildirNameSpace(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent)
    : host::NameSpace(parent)
{
    for (const auto &store : stores) {
        if (store && store->isValid())
            m_stores.append(store);
    }
}

MaildirNameSpace::~MaildirNameSpace() = default;

std::shared_ptr<MaildirStore> MaildirNameSpace::storeById(const QString &storeId) const
{
    for (const auto &store : m_stores) {
        if (store->storeId() == storeId)
            return store;
    }
    return nullptr;
}

host::FolderPtr MaildirNameSpace::GetDefaultFolder(int kind)
{
    if (m_stores.isEmpty())
        return nullptr;
    const auto &store = m_stores.first();
    switch (kind) {
    case host::FolderInbox:
        return std::make_shared<MaildirFolder>(store, QString());
    case host::FolderDrafts:
    case host::FolderDeletedItems: {
        const QString dir = kind == host::FolderDrafts ? MaildirStore::draftsDir() : MaildirStore::trashDir();
        if (!store->ensureFolder(dir))
            return nullptr;
        return std::make_shared<MaildirFolder>(store, dir);
    }
    case host::FolderCalendar:
        return std::make_shared<MaildirFolder>(store, QString(), host::AppointmentItemType);
    case host::FolderContacts:
        return std::make_shared<MaildirFolder>(store, QString(), host::ContactItemType);
    case host::FolderNotes:
        return std::make_shared<MaildirFolder>(store, QString(), host::NoteItemType);
    case host::FolderTasks:
        return std::make_shared<MaildirFolder>(store, QString(), host::TaskItemType);
    default:
        return nullptr;
    }
}

host::FolderPtr MaildirNameSpace::GetFolderFromID(const QString &entryId, const QString &storeId)
{
    const auto store = storeById(storeId);
    if (!store)
        return nullptr;
    const int virtualType = MaildirFolder::parseVirtualFolderId(entryId);
    if (virtualType >= 0)
        return std::make_shared<MaildirFolder>(store, QString(), virtualType);
    QString dir;
    if (!MaildirStore::parseFolderEntryId(entryId, &dir))
        return nullptr;
    // The watcher may not have seen a folder appear or go yet.
    if (!store->hasFolder(dir) || !QFileInfo(store->folderPath(dir) + QStringLiteral("/cur")).isDir())
        store->refreshFolders();
    if (!store->hasFolder(dir))
        return nullptr;
    return std::make_shared<MaildirFolder>(store, dir);
}

host::ItemPtr MaildirNameSpace::GetItemFromID(const QString &entryId, const QString &storeId)
{
    const auto store = storeById(storeId);
    QString dir;
    QString uniqueName;
    if (!store || !MaildirStore::parseItemEntryId(entryId, &dir, &uniqueName))
        return nullptr;
    MaildirFolderIndex *index = store->index(dir);
    if (!index)
        return nullptr;
    if (!index->contains(uniqueName))
        index->refreshAll();
    if (!index->contains(uniqueName))
        return nullptr;
    return std::make_shared<MaildirItem>(store, dir, uniqueName);
}

host::FoldersPtr MaildirNameSpace::folders()
{
    QList<host::FolderPtr> tops;
    for (const auto &store : m_stores)
        tops.append(std::make_shared<MaildirFolder>(store, QString()));
    return std::make_shared<MaildirFolders>(tops);
}

} // namespace lumora
