#pragma once

#include "host/MAPIFolder.h"

namespace lumora::host {

// Default folder kinds for GetDefaultFolder.
enum DefaultFolder {
    FolderDeletedItems = 3,
    FolderInbox = 6,
    FolderCalendar = 9,
    FolderContacts = 10,
    FolderNotes = 12,
    FolderTasks = 13,
    FolderDrafts = 16
};

// The mail namespace: look-ups by id and the store tree.
class LUMORA_HOST_EXPORT NameSpace : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~NameSpace() override;

    // The default folder of the given kind in the default store, or null.
    virtual FolderPtr GetDefaultFolder(int kind) = 0;
    // Null for an unknown or stale id.
    virtual FolderPtr GetFolderFromID(const QString &entryId, const QString &storeId) = 0;
    virtual ItemPtr GetItemFromID(const QString &entryId, const QString &storeId) = 0;
    // Whether the item is still unread as far as the store knows without waiting on a
    // server: 1 unread, 0 read, -1 unknown (gone, or never looked at). For a look just
    // before mail is shown, which must not hold up the desktop.
    virtual int KnownUnread(const QString &entryId, const QString &storeId);
    // One top folder per store.
    virtual FoldersPtr folders() = 0;
};

} // namespace lumora::host
