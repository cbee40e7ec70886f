#pragma once

#include "host/mh/MhSequences.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace lumora {

// An MH mail directory (nmh's Path, such as ~/Mail): its folders, the numbered messages of
// each and their unseen state from the folder's sequences file. The folder "inbox" (or the
// profile's Inbox) is the top folder when there is one, the directory itself otherwise.
// Folders are named by their path below the root ("work/lists"); "" is the root itself.
class MhStore
{
public:
    explicit MhStore(const QString &root);

    bool isValid() const { return !m_realRoot.isEmpty(); }
    QString rootPath() const { return m_root; }
    QString realRoot() const { return m_realRoot; }
    QString storeId() const { return m_storeId; }
    // The sequences that mean unread: the profile's Unseen-Sequence, else "unseen".
    QStringList unseenNames() const { return m_unseen; }
    QString displayCommand() const { return m_displayCommand; }
    void setDisplayCommand(const QString &command) { m_displayCommand = command; }

    QString topDir() const;
    // Every folder, the top one first (sub-folders to a depth of MaxDepth, links not followed).
    QStringList folderDirs() const;
    QStringList childDirs(const QString &dir) const;
    bool hasFolder(const QString &dir) const;
    QString folderPath(const QString &dir) const;
    QString displayName(const QString &dir) const;

    // Lists the folder and reads its sequences again; returns how many messages became
    // unread that were not before (0 on the first listing). *error says why it cannot be read.
    int refresh(const QString &dir, QString *error = nullptr);
    // After start, a folder listed for the first time is one that came since: its unseen
    // messages count as new.
    void setCountFirstListing(bool on) { m_countFirstListing = on; }
    // New messages found by every listing since the last call, including those made on
    // demand (a look-up before the watcher's turn).
    int takeUnannounced() { return std::exchange(m_unannounced, 0); }
    // The folder's message numbers, ascending (listed on first use).
    QList<int> numbers(const QString &dir);
    bool contains(const QString &dir, int number);
    bool isUnread(const QString &dir, int number);
    int unreadCount(const QString &dir);

    // Renames the message into the Trash folder (made when missing) under its next number.
    bool moveToTrash(const QString &dir, int number, QString *error);
    // Takes the message out of the unseen sequences (the sequences file is replaced whole).
    bool markRead(const QString &dir, int number, QString *error);

    static QString trashDir() { return QStringLiteral("trash"); }
    static QString folderEntryId(const QString &dir);
    static bool parseFolderEntryId(const QString &id, QString *dir);
    static QString itemEntryId(const QString &dir, int number);
    static bool parseItemEntryId(const QString &id, QString *dir, int *number);

    static constexpr int MaxDepth = 8;

private:
    struct Folder
    {
        bool listed = false;
        QList<int> numbers;
        MhSequences sequences;
    };
    Folder &folder(const QString &dir);
    void readProfile();
    QString sequencesPath(const QString &dir) const;

    QString m_root;
    QString m_realRoot;
    QString m_storeId;
    QString m_inbox = QStringLiteral("inbox");
    QString m_sequencesName = QStringLiteral(".mh_sequences");
    QStringList m_unseen = {QStringLiteral("unseen")};
    QString m_displayCommand;
    QHash<QString, Folder> m_folders;
    bool m_countFirstListing = false;
    int m_unannounced = 0;
};

} // namespace lumora
