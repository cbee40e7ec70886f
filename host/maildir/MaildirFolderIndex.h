#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace lumora {

// What one Maildir folder holds, from directory listings and file times only, so that
// searches walk memory. Keyed by the message's unique name (the file name without its
// ":2,flags" part), which survives the move from new/ to cur/ and flag changes.
class MaildirFolderIndex
{
public:
    enum Sub {
        New,
        Cur
    };

    struct Entry
    {
        Sub sub = New;
        QString fileName;
        // Modification time in ns since the epoch; 0 when not read yet (read messages).
        qint64 mtimeNs = 0;
        bool seen = false;
    };

    // folderPath and storeRoot are canonical; symlinks leading outside storeRoot are skipped.
    MaildirFolderIndex(const QString &folderPath, const QString &storeRoot);

    // Relists one sub-directory and returns the unique names that appeared in new/ and
    // were unknown before: the folder's new mail.
    QStringList refresh(Sub sub);
    void refreshAll();

    const Entry *find(const QString &uniqueName) const;
    // Unread unique names, oldest first (by file time, then name).
    QStringList unreadOldestFirst() const;
    QString pathOf(const QString &uniqueName) const;
    void remove(const QString &uniqueName);
    int count() const { return int(m_entries.size()); }
    QString folderPath() const { return m_folderPath; }

    static QString uniqueName(const QString &fileName);
    static bool hasSeenFlag(const QString &fileName);
    // The file's modification time in ns, or 0 when it cannot be read.
    static qint64 fileTimeNs(const QString &path);
    // Delivery time taken from a unique name ("1700000000.M123456P42.host"), or 0.
    static qint64 deliveryTimeNs(const QString &uniqueName);

private:
    QString m_folderPath;
    QString m_storeRoot;
    QHash<QString, Entry> m_entries;
};

} // namespace lumora
