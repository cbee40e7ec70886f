#pragma once

#include "host/maildir/MaildirNameTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lumora {

// What one Maildir folder holds, from directory listings, directory events and file times
// only, so that searches walk memory. Keyed by the message's unique name (the file name up
// to its first ',' or ':'), which survives the move from new/ to cur/, flag changes and the
// uid a synchroniser appends.
// Names are kept as the bytes the directory gives; only unread messages keep a time.
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
    ~MaildirFolderIndex();
    // The store's root moved (it became a link to elsewhere): links are judged against it.
    void setStoreRoot(const QString &storeRoot) { m_storeRoot = storeRoot; }

    // Relists one sub-directory: names gone are dropped, names not known are added. A
    // sub-directory that may not be read, or is missing for now, keeps what was known of it.
    void refresh(Sub sub);
    // Relists new/ and then cur/, so a message moving between them meanwhile is kept.
    void refreshAll();
    bool isListed() const { return m_listed; }
    // errno of the last listing of new/ or cur/ that failed (0 when both were read).
    int listError() const { return m_listErrors[New] ? m_listErrors[New] : m_listErrors[Cur]; }

    // A directory event: fileName appeared in sub. Cheap whatever the folder's size. A name
    // moved here from this folder's other sub-directory is no arrival.
    void fileAdded(Sub sub, QByteArrayView fileName, bool movedWithinFolder = false);
    // A directory event: fileName left sub (deleted or moved away).
    void fileRemoved(Sub sub, QByteArrayView fileName);
    // How many messages arrived in new/ after the first listing and are still there,
    // counting each once across calls.
    int takeArrivals();

    std::optional<Entry> find(const QString &uniqueName) const;
    bool contains(const QString &uniqueName) const;
    // Unread unique names, oldest first (by file time, then name).
    QStringList unreadOldestFirst() const;
    // The same names as the directory gives them, each ended by a NUL, in one buffer: a
    // search over many unread messages makes one allocation, not one per message.
    QByteArray unreadNamesOldestFirst() const;
    QString pathOf(const QString &uniqueName) const;
    void remove(const QString &uniqueName);
    int count() const { return int(m_table.size()); }
    // Messages without the seen flag, from the names alone.
    int unreadCount() const;
    int countIn(Sub sub) const;
    QString folderPath() const { return m_folderPath; }
    // Bytes this index holds for its entries.
    qsizetype memoryBytes() const { return m_table.memoryBytes(); }

    static QString uniqueName(const QString &fileName);
    static bool hasSeenFlag(const QString &fileName);
    static bool hasSeenFlag(QByteArrayView fileName);
    // The file's modification time in ns, or 0 when it cannot be read.
    static qint64 fileTimeNs(const QString &path);
    // Delivery time taken from a unique name ("1700000000.M123456P42.host"), or 0.
    static qint64 deliveryTimeNs(const QString &uniqueName);
    // Full directory listings made by every index so far (for benchmarks and tests).
    static quint64 listings();

private:
    // Kept with each entry in the name table.
    enum Flag : quint8 {
        InCur = 0x01,
        Seen = 0x02,
        Marked = 0x04, // found by the listing in progress
        Fresh = 0x08, // arrived, not yet counted by takeArrivals
    };

    void add(Sub sub, QByteArrayView fileName, qint64 timeNs, quint8 extraFlags, bool mayArrive);
    // The file's modification time, or 0; false when it is no acceptable message file.
    // Stats through dirFd when it is open, else through the sub-directory's path.
    bool acceptable(int dirFd, Sub sub, const char *fileName, unsigned char direntType, qint64 *timeNs) const;
    QByteArray subPath(Sub sub) const { return m_subPaths[sub]; }

    QString m_folderPath;
    QString m_storeRoot;
    QByteArray m_subPaths[2];
    MaildirNameTable m_table;
    std::vector<MaildirNameTable::Id> m_arrivals;
    int m_listErrors[2] = {0, 0};
    bool m_listed = false;
};

} // namespace lumora
