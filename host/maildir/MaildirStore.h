#pragma once

#include "host/maildir/MaildirFolderIndex.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

namespace lumora {

// One Maildir++ root: its folders ("" is the root, the Inbox; ".Name" and ".Name.Sub" the
// others), their indexes, the ids that name them, and the moves into Trash.
class MaildirStore
{
public:
    // rootPath need not be canonical; an unusable root gives an invalid store.
    explicit MaildirStore(const QString &rootPath);
    ~MaildirStore();

    bool isValid() const { return !m_root.isEmpty(); }
    // The root as the store was opened: folder paths and ids are made from it.
    QString rootPath() const { return m_root; }
    // Where the root leads now (it may have become a link to a store elsewhere): files
    // must lie below it to be read.
    QString realRoot() const { return m_realRoot; }
    // Looks again where the root leads, after it went away and came back; false while it is
    // no directory.
    bool reopen();
    QString storeId() const { return m_storeId; }

    // Relists the root for folders; returns the ones not known before. A root that may not
    // be read keeps the folders known so far. A dot directory that may not be entered is
    // taken for a folder whose messages cannot be read (its index says why).
    QStringList refreshFolders();
    // errno of the last listing of the root, 0 when it was read.
    int listError() const { return m_listError; }
    QStringList folderDirs() const;
    bool hasFolder(const QString &dir) const { return m_folders.count(dir) > 0; }
    QString folderPath(const QString &dir) const;
    // The folder's index, listed on first use; null for an unknown folder.
    MaildirFolderIndex *index(const QString &dir);
    // Null when the folder has not been listed yet.
    MaildirFolderIndex *loadedIndex(const QString &dir) const;

    QString displayName(const QString &dir) const;
    // The nearest existing ancestor folder ("" for top-level folders); the root has none.
    QString parentDir(const QString &dir) const;
    QStringList childDirs(const QString &dir) const;

    // Creates the Maildir++ folder (cur, new, tmp) when missing; false when it cannot.
    bool ensureFolder(const QString &dir);

    // Moves the message into Trash by rename. A name taken in Trash gets a fresh unique
    // name; a Trash on another file system leaves the message in place and gives false.
    // On false, *error (when given) says why.
    bool moveToTrash(const QString &dir, const QString &uniqueName, QString *error = nullptr);

    // Marks the message read by renaming it into cur/ with the S flag added to its info
    // (":2,S" for one without; other flags kept, in ASCII order); the file itself is never
    // written. A message already read succeeds as it is. On false, *error says why.
    bool markSeen(const QString &dir, const QString &uniqueName, QString *error = nullptr);
    // The file name a message gets once read: fileName with S among its flags, or empty
    // when its info part is not the ":2," kind that holds flags.
    static QString seenFileName(const QString &fileName);

    // The command that opens a message file: "%f" is replaced by the file, else appended.
    QString displayCommand() const { return m_displayCommand; }
    void setDisplayCommand(const QString &command) { m_displayCommand = command; }

    // Writes the warning once for key (a message file) in the life of the store, so a scan
    // that meets the same odd file again stays quiet.
    void warnOnce(const QString &key, const QString &text);

    static QString trashDir() { return QStringLiteral(".Trash"); }
    static QString draftsDir() { return QStringLiteral(".Drafts"); }

    static QString folderEntryId(const QString &dir);
    static bool parseFolderEntryId(const QString &id, QString *dir);
    static QString itemEntryId(const QString &dir, const QString &uniqueName);
    static bool parseItemEntryId(const QString &id, QString *dir, QString *uniqueName);
    // A Maildir++ folder directory name we accept: ".A" or ".A.B", no empty part.
    static bool isFolderDirName(const QString &dir);

private:
    bool insideRoot(const QString &path) const;
    QString freshUniqueName();

    QString m_root;
    QString m_realRoot;
    QString m_storeId;
    QSet<QString> m_warned;
    QString m_displayCommand = QStringLiteral("xdg-open");
    std::map<QString, std::unique_ptr<MaildirFolderIndex>> m_folders;
    int m_deliveries = 0;
    int m_listError = 0;
};

} // namespace lumora
