#include "host/maildir/MaildirFolderIndex.h"

#include "platform/core/Verbose.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

std::atomic<quint64> g_listings{0};

// Said once per link: every listing of the folder meets it again.
void tellLeadsOutside(const QString &link, const QString &target)
{
    static QMutex mutex;
    static QSet<QString> told;
    QMutexLocker locker(&mutex);
    if (told.contains(link))
        return;
    if (told.size() >= 4096)
        told.clear();
    told.insert(link);
    Verbose::warning(QStringLiteral("%1 leads outside its store (to %2); it is not followed").arg(link, target));
}

// A symlinked message counts only when it resolves to a regular file inside the store.
bool acceptableLink(const QByteArray &path, const QString &storeRoot, struct stat *target)
{
    char *resolved = realpath(path.constData(), nullptr);
    if (!resolved)
        return false;
    const QString resolvedPath = QFile::decodeName(resolved);
    free(resolved);
    if (!resolvedPath.startsWith(storeRoot + QLatin1Char('/'))) {
        tellLeadsOutside(QFile::decodeName(path), resolvedPath);
        return false;
    }
    return stat(path.constData(), target) == 0 && S_ISREG(target->st_mode);
}

// The base name up to the first ',' or ':'. Writers put only stable, unique text there;
// what follows is theirs to change: the flags after ':', and after ',' Maildir++ sizes and
// the server uid a synchroniser appends when it takes a local delivery over (",U=12",
// ",U=12,FMD5=…"), which gives the file a new name, often a new copy and time too.
template<typename Name>
qsizetype uniqueLength(const Name &fileName)
{
    for (qsizetype i = 0; i < fileName.size(); ++i) {
        if (fileName.at(i) == u',' || fileName.at(i) == u':')
            return i;
    }
    return fileName.size();
}

qint64 nanoseconds(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

} // namespace

MaildirFolderIndex::MaildirFolderIndex(const QString &folderPath, const QString &storeRoot)
    : m_folderPath(folderPath)
    , m_storeRoot(storeRoot)
{
    m_subPaths[New] = QFile::encodeName(folderPath + QStringLiteral("/new"));
    m_subPaths[Cur] = QFile::encodeName(folderPath + QStringLiteral("/cur"));
}

MaildirFolderIndex::~MaildirFolderIndex() = default;

quint64 MaildirFolderIndex::listings()
{
    return g_listings.load();
}

QString MaildirFolderIndex::uniqueName(const QString &fileName)
{
    return fileName.left(uniqueLength(fileName));
}

bool MaildirFolderIndex::hasSeenFlag(QByteArrayView fileName)
{
    const qsizetype info = fileName.indexOf(":2,");
    if (info < 0)
        return false;
    // Flags are the letters after ":2,"; anything after a further separator is not a flag.
    for (qsizetype i = info + 3; i < fileName.size(); ++i) {
        const char c = fileName.at(i);
        if (c == 'S')
            return true;
        if (c == ',' || c == ':')
            break;
    }
    return false;
}

bool MaildirFolderIndex::hasSeenFlag(const QString &fileName)
{
    return hasSeenFlag(QByteArrayView(QFile::encodeName(fileName)));
}

qint64 MaildirFolderIndex::fileTimeNs(const QString &path)
{
    struct stat st;
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return nanoseconds(st);
}

qint64 MaildirFolderIndex::deliveryTimeNs(const QString &uniqueName)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{9,11})\\.(?:[^.]*M(\\d{1,6}))?"));
    const QRegularExpressionMatch m = pattern.match(uniqueName);
    if (!m.hasMatch())
        return 0;
    // Eleven digits reach past what nanoseconds in 64 bits can hold (the year 2262).
    const qint64 seconds = m.captured(1).toLongLong();
    if (seconds > std::numeric_limits<qint64>::max() / 1000000000LL - 1)
        return 0;
    qint64 ns = seconds * 1000000000LL;
    if (m.hasCaptured(2))
        ns += m.captured(2).toLongLong() * 1000LL;
    return ns;
}

bool MaildirFolderIndex::acceptable(int dirFd, Sub sub, const char *fileName, unsigned char direntType,
                                    qint64 *timeNs) const
{
    if (direntType == DT_REG && !timeNs)
        return true;
    if (direntType != DT_REG && direntType != DT_LNK && direntType != DT_UNKNOWN)
        return false;
    struct stat st;
    if (dirFd >= 0 ? fstatat(dirFd, fileName, &st, AT_SYMLINK_NOFOLLOW) != 0
                   : lstat((subPath(sub) + '/' + fileName).constData(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode) && !acceptableLink(subPath(sub) + '/' + fileName, m_storeRoot, &st))
        return false;
    if (!S_ISREG(st.st_mode))
        return false;
    if (timeNs)
        *timeNs = nanoseconds(st);
    return true;
}

void MaildirFolderIndex::add(Sub sub, QByteArrayView fileName, qint64 timeNs, quint8 extraFlags, bool mayArrive)
{
    const qsizetype unique = uniqueLength(fileName);
    const bool seen = hasSeenFlag(fileName);
    const MaildirNameTable::Id existing = m_table.find(fileName.first(unique));
    if (!seen && timeNs == 0 && existing != MaildirNameTable::None)
        timeNs = m_table.timeNs(existing);
    if (!seen && timeNs == 0)
        timeNs = deliveryTimeNs(QFile::decodeName(fileName.first(unique).toByteArray()));

    quint8 flags = extraFlags | (sub == Cur ? InCur : 0) | (seen ? Seen : 0);
    const bool arrived = mayArrive && sub == New && existing == MaildirNameTable::None;
    if (arrived || (existing != MaildirNameTable::None && (m_table.flags(existing) & Fresh)))
        flags |= Fresh;
    const MaildirNameTable::Id id = m_table.put(fileName, unique, flags, !seen, timeNs);
    if (arrived) {
        // Drop ids that were erased before anyone counted them, so the list stays small.
        if (m_arrivals.size() > size_t(m_table.size()) + 64) {
            std::erase_if(m_arrivals,
                          [this](MaildirNameTable::Id a) { return !m_table.isLive(a) || !(m_table.flags(a) & Fresh); });
        }
        m_arrivals.push_back(id);
    }
}

void MaildirFolderIndex::refresh(Sub sub)
{
    ++g_listings;
    const quint8 subFlag = sub == Cur ? InCur : 0;
    m_table.forEach([&](MaildirNameTable::Id id) {
        const quint8 f = m_table.flags(id);
        if ((f & InCur) == subFlag)
            m_table.setFlags(id, f & ~Marked);
    });

    DIR *dir = opendir(subPath(sub).constData());
    m_listErrors[sub] = dir ? 0 : errno;
    // Unreadable is not empty: the messages are still there, only hidden from us for now.
    // A directory moved away (or the whole store) mostly comes back with them, and what is
    // kept meanwhile is not announced a second time then.
    if (!dir && (errno == EACCES || errno == EPERM || errno == ENOENT || errno == ENOTDIR))
        return;
    if (dir) {
        const int dirFd = dirfd(dir);
        while (const dirent *e = readdir(dir)) {
            const QByteArrayView name(e->d_name, qsizetype(std::strlen(e->d_name)));
            if (name.isEmpty() || name.front() == '.')
                continue;
            const MaildirNameTable::Id id = m_table.find(name.first(uniqueLength(name)));
            if (id != MaildirNameTable::None && (m_table.flags(id) & InCur) == subFlag
                && m_table.fileName(id) == name) {
                m_table.setFlags(id, m_table.flags(id) | Marked);
                continue;
            }
            // A synchroniser writes its renamed copy before it removes the original, so for a
            // moment both lie here; the longer name is the newer one and the one that stays.
            if (id != MaildirNameTable::None && (m_table.flags(id) & (InCur | Marked)) == (subFlag | Marked)
                && name.size() < m_table.fileName(id).size())
                continue;
            // Only unread messages need their time up front; read ones are stat'ed on demand.
            const bool wantTime = !hasSeenFlag(name) && (id == MaildirNameTable::None || !m_table.hasTime(id));
            qint64 timeNs = 0;
            if (!acceptable(dirFd, sub, e->d_name, e->d_type, wantTime ? &timeNs : nullptr))
                continue;
            add(sub, name, timeNs, Marked, m_listed);
        }
        closedir(dir);
    }

    // Entries of this sub-directory that were not listed were moved or deleted.
    std::vector<MaildirNameTable::Id> gone;
    m_table.forEach([&](MaildirNameTable::Id id) {
        const quint8 f = m_table.flags(id);
        if ((f & InCur) == subFlag && !(f & Marked))
            gone.push_back(id);
    });
    for (MaildirNameTable::Id id : gone)
        m_table.erase(id);
}

void MaildirFolderIndex::refreshAll()
{
    refresh(New);
    refresh(Cur);
    m_listed = true;
}

void MaildirFolderIndex::fileAdded(Sub sub, QByteArrayView fileName, bool movedWithinFolder)
{
    if (fileName.isEmpty() || fileName.front() == '.' || fileName.size() > 255)
        return;
    const MaildirNameTable::Id id = m_table.find(fileName.first(uniqueLength(fileName)));
    const bool sameSub = id != MaildirNameTable::None && bool(m_table.flags(id) & InCur) == (sub == Cur);
    if (sameSub && m_table.fileName(id) == fileName)
        return; // already known, from a listing that raced the event
    qint64 timeNs = 0;
    if (!acceptable(-1, sub, fileName.toByteArray().constData(), DT_UNKNOWN, &timeNs))
        return;
    if (id != MaildirNameTable::None && m_table.hasTime(id))
        timeNs = m_table.timeNs(id);
    add(sub, fileName, timeNs, 0, m_listed && !movedWithinFolder);
}

void MaildirFolderIndex::fileRemoved(Sub sub, QByteArrayView fileName)
{
    const MaildirNameTable::Id id = m_table.find(fileName.first(uniqueLength(fileName)));
    // A stale event (the name changed again since) must not drop the current entry.
    if (id != MaildirNameTable::None && bool(m_table.flags(id) & InCur) == (sub == Cur)
        && m_table.fileName(id) == fileName)
        m_table.erase(id);
}

int MaildirFolderIndex::takeArrivals()
{
    int count = 0;
    for (MaildirNameTable::Id id : m_arrivals) {
        if (!m_table.isLive(id))
            continue;
        const quint8 f = m_table.flags(id);
        if (!(f & Fresh))
            continue;
        m_table.setFlags(id, f & ~Fresh);
        if (!(f & InCur))
            ++count;
    }
    m_arrivals.clear();
    return count;
}

std::optional<MaildirFolderIndex::Entry> MaildirFolderIndex::find(const QString &uniqueName) const
{
    const MaildirNameTable::Id id = m_table.find(QByteArrayView(QFile::encodeName(uniqueName)));
    if (id == MaildirNameTable::None)
        return std::nullopt;
    const quint8 f = m_table.flags(id);
    Entry entry;
    entry.sub = (f & InCur) ? Cur : New;
    entry.fileName = QFile::decodeName(m_table.fileName(id).toByteArray());
    entry.mtimeNs = m_table.timeNs(id);
    entry.seen = f & Seen;
    return entry;
}

bool MaildirFolderIndex::contains(const QString &uniqueName) const
{
    return m_table.find(QByteArrayView(QFile::encodeName(uniqueName))) != MaildirNameTable::None;
}

int MaildirFolderIndex::countIn(Sub sub) const
{
    int n = 0;
    m_table.forEach([&](MaildirNameTable::Id id) {
        if (bool(m_table.flags(id) & InCur) == (sub == Cur))
            ++n;
    });
    return n;
}

int MaildirFolderIndex::unreadCount() const
{
    int n = 0;
    m_table.forEach([&](MaildirNameTable::Id id) {
        if (!(m_table.flags(id) & Seen))
            ++n;
    });
    return n;
}

QStringList MaildirFolderIndex::unreadOldestFirst() const
{
    QStringList names;
    const QByteArray packed = unreadNamesOldestFirst();
    for (qsizetype at = 0; at < packed.size();) {
        const qsizetype end = packed.indexOf('\0', at);
        names.append(QFile::decodeName(packed.mid(at, end - at)));
        at = end + 1;
    }
    return names;
}

QByteArray MaildirFolderIndex::unreadNamesOldestFirst() const
{
    std::vector<std::pair<qint64, MaildirNameTable::Id>> unread;
    m_table.forEach([&](MaildirNameTable::Id id) {
        if (!(m_table.flags(id) & Seen))
            unread.emplace_back(m_table.timeNs(id), id);
    });
    std::sort(unread.begin(), unread.end(), [this](const auto &a, const auto &b) {
        if (a.first != b.first)
            return a.first < b.first;
        return m_table.uniqueName(a.second) < m_table.uniqueName(b.second);
    });
    qsizetype size = 0;
    for (const auto &u : unread)
        size += m_table.uniqueName(u.second).size() + 1;
    QByteArray packed;
    packed.reserve(size);
    for (const auto &u : unread) {
        packed.append(m_table.uniqueName(u.second));
        packed.append('\0');
    }
    return packed;
}

QString MaildirFolderIndex::pathOf(const QString &uniqueName) const
{
    const MaildirNameTable::Id id = m_table.find(QByteArrayView(QFile::encodeName(uniqueName)));
    if (id == MaildirNameTable::None)
        return {};
    return QFile::decodeName(subPath((m_table.flags(id) & InCur) ? Cur : New) + '/'
                             + m_table.fileName(id).toByteArray());
}

void MaildirFolderIndex::remove(const QString &uniqueName)
{
    const MaildirNameTable::Id id = m_table.find(QByteArrayView(QFile::encodeName(uniqueName)));
    if (id != MaildirNameTable::None)
        m_table.erase(id);
}

} // namespace lumora
