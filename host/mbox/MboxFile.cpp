#include "host/mbox/MboxFile.h"

#include "host/mbox/MboxMessageHead.h"
#include "platform/core/Clock.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

std::atomic<quint64> g_bytesRead{0};

constexpr qint64 SampleBytes = 256;
constexpr qint64 ChunkBytes = 1024 * 1024;
constexpr qint64 FirstHeadBytes = 4096;

// Read-only, and without touching the access time: mail clients compare it with the
// modification time to tell whether new mail waits.
int openQuietly(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOATIME);
    if (fd < 0 && errno == EPERM) // O_NOATIME is only for the file's owner
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd;
}

qint64 readAt(int fd, char *buffer, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size_t(size - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    g_bytesRead += quint64(done);
    return done;
}

quint64 entryKey(quint64 identity, quint16 occurrence)
{
    return identity ^ (quint64(occurrence) * 0x9E3779B97F4A7C15ULL);
}

} // namespace

// A 100k-message spool keeps its index in a few megabytes.
static_assert(sizeof(MboxFile::Entry) <= 24);

MboxFile::MboxFile(const QString &path)
    : m_path(path)
{
}

quint64 MboxFile::bytesRead()
{
    return g_bytesRead;
}

void MboxFile::reset()
{
    m_entries.clear();
    m_splitter = MboxSplitter();
    m_size = 0;
    m_mtimeNs = 0;
    m_device = 0;
    m_inode = 0;
    m_headSample.clear();
    m_tailSample.clear();
}

int MboxFile::unreadCount() const
{
    int n = 0;
    for (const Entry &entry : m_entries)
        n += (entry.flags & Seen) ? 0 : 1;
    return n;
}

qsizetype MboxFile::find(quint64 identity, quint16 occurrence, qsizetype hint) const
{
    if (hint >= 0 && size_t(hint) < m_entries.size() && m_entries[size_t(hint)].identity == identity
        && m_entries[size_t(hint)].occurrence == occurrence)
        return hint;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].identity == identity && m_entries[i].occurrence == occurrence)
            return qsizetype(i);
    }
    return -1;
}

bool MboxFile::busy(int fd) const
{
    struct stat lock;
    if (::stat(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(), &lock) == 0) {
        const qint64 age = Clock::instance().now().toSecsSinceEpoch() - qint64(lock.st_mtime);
        if (age < StaleLockSecs && age > -StaleLockSecs)
            return true;
    }
    struct flock probe;
    std::memset(&probe, 0, sizeof probe);
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    return ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

QByteArray MboxFile::sample(int fd, qint64 from, qint64 size) const
{
    QByteArray bytes(size, Qt::Uninitialized);
    bytes.truncate(readAt(fd, bytes.data(), size, from));
    return bytes;
}

MboxFile::Update MboxFile::update(int *fresh)
{
    int freshCount = 0;
    if (fresh)
        *fresh = 0;
    m_error.clear();
    const int fd = openQuietly(m_path);
    if (fd < 0) {
        if (errno == ENOENT) {
            // No mail yet, or the spool was emptied by removing it.
            if (m_entries.empty() && m_size == 0)
                return Update::Unchanged;
            reset();
            return Update::Reread;
        }
        m_error = QStringLiteral("the mbox %1 cannot be read: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno)));
        return Update::Failed;
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = QStringLiteral("the mbox %1 is not a regular file").arg(m_path);
        return Update::Failed;
    }
    if (busy(fd))
        return Update::Busy;
    const qint64 size = st.st_size;
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    bool rewritten = quint64(st.st_dev) != m_device || quint64(st.st_ino) != m_inode || size < m_size;
    if (!rewritten && size == m_size) {
        if (mtimeNs == m_mtimeNs)
            return Update::Unchanged;
        rewritten = true; // same length, new content: a flag changed in place
    }
    if (!rewritten && m_size > 0) {
        const qint64 tailFrom = qMax<qint64>(0, m_size - SampleBytes);
        rewritten = sample(fd, 0, qMin(SampleBytes, m_size)) != m_headSample
            || sample(fd, tailFrom, m_size - tailFrom) != m_tailSample;
    }
    std::vector<Entry> before;
    if (rewritten) {
        before.swap(m_entries);
        reset();
    }
    const size_t known = m_entries.size();
    if (!scan(fd, size, &freshCount, rewritten ? &before : nullptr)) {
        m_error = QStringLiteral("the mbox %1 cannot be read: %2").arg(m_path, QString::fromLocal8Bit(strerror(errno)));
        reset();
        return Update::Failed;
    }
    // The last message's head may have been cut by a delivery in progress.
    if (known > 0 && !(m_entries[known - 1].flags & Complete)) {
        readHead(fd, known < m_entries.size() ? m_entries[known].offset : size, m_entries[known - 1]);
        m_entries[known - 1].occurrence = occurrenceOf(known - 1);
    }
    m_size = size;
    m_mtimeNs = mtimeNs;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_headSample = sample(fd, 0, qMin(SampleBytes, size));
    const qint64 tailFrom = qMax<qint64>(0, size - SampleBytes);
    m_tailSample = sample(fd, tailFrom, size - tailFrom);
    if (fresh)
        *fresh = freshCount;
    if (rewritten)
        return Update::Reread;
    return m_entries.size() != known ? Update::Appended : Update::Unchanged;
}

bool MboxFile::scan(int fd, qint64 size, int *fresh, const std::vector<Entry> *before)
{
    QSet<quint64> known;
    if (before) {
        known.reserve(qsizetype(before->size()));
        for (const Entry &entry : *before)
            known.insert(entryKey(entry.identity, entry.occurrence));
    }
    const size_t firstNew = m_entries.size();
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    QList<qint64> starts;
    while (m_splitter.position() < size) {
        const qint64 from = m_splitter.position();
        const qint64 n = readAt(fd, chunk.data(), qMin(ChunkBytes, size - from), from);
        if (n <= 0)
            return false;
        starts.clear();
        m_splitter.feed(chunk.constData(), n, &starts);
        for (const qint64 offset : starts) {
            Entry entry;
            entry.offset = offset;
            m_entries.push_back(entry);
        }
    }
    // Heads are read after the split so that each knows where its message ends.
    QHash<quint64, quint16> seenIdentities;
    for (size_t i = 0; i < firstNew; ++i)
        ++seenIdentities[m_entries[i].identity];
    for (size_t i = firstNew; i < m_entries.size(); ++i) {
        Entry &entry = m_entries[i];
        readHead(fd, i + 1 < m_entries.size() ? m_entries[i + 1].offset : size, entry);
        quint16 &count = seenIdentities[entry.identity];
        entry.occurrence = count;
        if (count < 0xFFFF)
            ++count;
        if (!(entry.flags & Seen) && (!before || !known.contains(entryKey(entry.identity, entry.occurrence))))
            ++*fresh;
    }
    return true;
}

void MboxFile::readHead(int fd, qint64 end, Entry &entry) const
{
    const qint64 available = end - entry.offset;
    qint64 want = qMin(FirstHeadBytes, available);
    QByteArray bytes = sample(fd, entry.offset, want);
    MboxMessageHead head = MboxMessageHead::parse(bytes);
    if (!head.complete && want < available) {
        want = qMin(HeadBytes, available);
        bytes = sample(fd, entry.offset, want);
        head = MboxMessageHead::parse(bytes);
    }
    quint8 flags = 0;
    if (head.seen)
        flags |= Seen;
    if (head.old)
        flags |= Old;
    // A head longer than HeadBytes, or one the next message cuts, is all there will be; the
    // last one may still be being delivered.
    if (head.complete || want >= HeadBytes || entry.offset + available < m_splitter.position())
        flags |= Complete;
    entry.flags = flags;
    entry.identity = head.identity;
    const qint64 secs = head.received.isValid() ? head.received.toSecsSinceEpoch() : 0;
    entry.received = secs > 0 && secs <= 0xFFFFFFFFLL ? quint32(secs) : 0;
}

quint16 MboxFile::occurrenceOf(size_t index) const
{
    quint16 occurrence = 0;
    for (size_t i = 0; i < index; ++i) {
        if (m_entries[i].identity == m_entries[index].identity && occurrence < 0xFFFF)
            ++occurrence;
    }
    return occurrence;
}

QByteArray MboxFile::message(qsizetype index, qint64 maxBytes) const
{
    if (index < 0 || size_t(index) >= m_entries.size())
        return {};
    const int fd = openQuietly(m_path);
    if (fd < 0)
        return {};
    struct stat st;
    QByteArray bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const qint64 from = m_entries[size_t(index)].offset;
        const qint64 end =
            size_t(index) + 1 < m_entries.size() ? m_entries[size_t(index) + 1].offset : qint64(st.st_size);
        if (end > from && end <= st.st_size)
            bytes = sample(fd, from, qMin(end - from, maxBytes));
    }
    ::close(fd);
    // What lies there now must still be that message's From_ line.
    if (!bytes.startsWith("From "))
        return {};
    const qsizetype eol = bytes.indexOf('\n');
    return eol < 0 ? QByteArray() : bytes.mid(eol + 1);
}

} // namespace lumora
