#pragma once

#include "host/mbox/MboxSplitter.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace lumora {

// The index of one mbox file, kept current by reading only what was appended: a growth
// whose earlier bytes are unchanged is scanned from the last known end; a file that shrank,
// was replaced, or changed before that end (a client rewrote it) is read again in full, once.
// The file is opened read-only and never locked or written: a delivery in progress (a
// fresh dot-lock or an fcntl write lock held) only makes the read wait for it to end.
class MboxFile
{
public:
    struct Entry
    {
        qint64 offset = 0; // where its From_ line begins
        quint64 identity = 0; // MboxMessageHead::identity
        quint32 received = 0; // seconds since the epoch; 0 when unknown
        quint16 occurrence = 0; // earlier entries with the same identity
        quint8 flags = 0;
    };
    enum Flag : quint8 {
        Seen = 1,
        Old = 2,
        Complete = 4
    };
    enum class Update {
        Unchanged,
        Appended,
        Reread,
        Busy, // a delivery holds the file: try again when it ends
        Failed, // see error()
    };

    explicit MboxFile(const QString &path);

    QString path() const { return m_path; }
    // Brings the index up to the file; *fresh counts the unread messages it had not seen.
    Update update(int *fresh = nullptr);
    // Why the last update failed; empty when it did not (a missing file is no failure).
    QString error() const { return m_error; }

    const std::vector<Entry> &entries() const { return m_entries; }
    int unreadCount() const;
    // Index of the entry with that identity and occurrence, or -1; hint is where to look first.
    qsizetype find(quint64 identity, quint16 occurrence, qsizetype hint = -1) const;
    // The message's bytes (From_ line left out); empty when it cannot be read. At most
    // maxBytes are read.
    QByteArray message(qsizetype index, qint64 maxBytes) const;

    // Bytes read from mbox files since start (the benchmark shows appends read little).
    static quint64 bytesRead();
    // A message's head is read up to this much for its flags and identity.
    static constexpr qint64 HeadBytes = 64 * 1024;
    // A dot-lock older than this is left over from a crash, as procmail counts.
    static constexpr qint64 StaleLockSecs = 300;

private:
    bool busy(int fd) const;
    // Scans [from, size) and reads the heads of the messages found; false on a read error.
    bool scan(int fd, qint64 size, int *fresh, const std::vector<Entry> *before);
    // Reads the head of the message that ends at end.
    void readHead(int fd, qint64 end, Entry &entry) const;
    quint16 occurrenceOf(size_t index) const;
    QByteArray sample(int fd, qint64 from, qint64 size) const;
    void reset();

    QString m_path;
    QString m_error;
    std::vector<Entry> m_entries;
    MboxSplitter m_splitter;
    qint64 m_size = 0;
    qint64 m_mtimeNs = 0;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    // The first and last bytes known, to tell a rewrite from an append.
    QByteArray m_headSample;
    QByteArray m_tailSample;
};

} // namespace lumora
