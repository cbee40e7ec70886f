#include "host/maildir/MaildirFolderIndex.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

const char *subName(MaildirFolderIndex::Sub sub)
{
    return sub == MaildirFolderIndex::New ? "new" : "cur";
}

// A symlinked message counts only when it resolves to a regular file inside the store.
bool acceptableLink(const QByteArray &path, const QString &storeRoot)
{
    char *resolved = realpath(path.constData(), nullptr);
    if (!resolved)
        return false;
    const QString target = QFile::decodeName(resolved);
    free(resolved);
    if (!target.startsWith(storeRoot + QLatin1Char('/')))
        return false;
    struct stat st;
    return stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

MaildirFolderIndex::MaildirFolderIndex(const QString &folderPath, const QString &storeRoot)
    : m_folderPath(folderPath)
    , m_storeRoot(storeRoot)
{
}

QString MaildirFolderIndex::uniqueName(const QString &fileName)
{
    const qsizetype colon = fileName.indexOf(QLatin1Char(':'));
    return colon < 0 ? fileName : fileName.left(colon);
}

bool MaildirFolderIndex::hasSeenFlag(const QString &fileName)
{
    const qsizetype info = fileName.indexOf(QLatin1String(":2,"));
    if (info < 0)
        return false;
    // Flags are the letters after ":2,"; anything after a further separator is not a flag.
    for (qsizetype i = info + 3; i < fileName.size(); ++i) {
        const QChar c = fileName.at(i);
        if (c == QLatin1Char('S'))
            return true;
        if (c == QLatin1Char(',') || c == QLatin1Char(':'))
            break;
    }
    return false;
}

qint64 MaildirFolderIndex::fileTimeNs(const QString &path)
{
    struct stat st;
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
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

QStringList MaildirFolderIndex::refresh(Sub sub)
{
    const QByteArray dirPath = QFile::encodeName(m_folderPath + QLatin1Char('/') + QLatin1String(subName(sub)));
    QHash<QString, QString> listed; // unique name -> file name
    if (DIR *dir = opendir(dirPath.constData())) {
        const int dfd = dirfd(dir);
        while (dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            bool regular = e->d_type == DT_REG;
            if (e->d_type == DT_LNK) {
                regular = acceptableLink(dirPath + '/' + e->d_name, m_storeRoot);
            } else if (e->d_type == DT_UNKNOWN) {
                struct stat st;
                if (fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                    regular = S_ISREG(st.st_mode)
                        || (S_ISLNK(st.st_mode) && acceptableLink(dirPath + '/' + e->d_name, m_storeRoot));
                }
            }
            if (!regular)
                continue;
            const QString fileName = QFile::decodeName(e->d_name);
            listed.insert(uniqueName(fileName), fileName);
        }
        closedir(dir);
    }

    // Entries of this sub-directory that are gone were moved or deleted.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->sub == sub && !listed.contains(it.key()))
            it = m_entries.erase(it);
        else
            ++it;
    }

    QStringList arrived;
    for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
        auto existing = m_entries.find(it.key());
        const bool known = existing != m_entries.end();
        if (known && existing->sub == sub && existing->fileName == it.value())
            continue;
        Entry entry;
        entry.sub = sub;
        entry.fileName = it.value();
        entry.seen = hasSeenFlag(it.value());
        if (known)
            entry.mtimeNs = existing->mtimeNs;
        // Only unread messages need their time up front; read ones are stat'ed on demand.
        if (!entry.seen && entry.mtimeNs == 0) {
            entry.mtimeNs = fileTimeNs(m_folderPath + QLatin1Char('/') + QLatin1String(subName(sub)) + QLatin1Char('/')
                                       + it.value());
            if (entry.mtimeNs == 0)
                entry.mtimeNs = deliveryTimeNs(it.key());
        }
        if (!known && sub == New)
            arrived.append(it.key());
        m_entries.insert(it.key(), entry);
    }
    return arrived;
}

void MaildirFolderIndex::refreshAll()
{
    refresh(New);
    refresh(Cur);
}

const MaildirFolderIndex::Entry *MaildirFolderIndex::find(const QString &uniqueName) const
{
    const auto it = m_entries.constFind(uniqueName);
    return it == m_entries.cend() ? nullptr : &*it;
}

QStringList MaildirFolderIndex::unreadOldestFirst() const
{
    std::vector<std::pair<qint64, QString>> unread;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!it->seen)
            unread.emplace_back(it->mtimeNs, it.key());
    }
    std::sort(unread.begin(), unread.end());
    QStringList names;
    names.reserve(qsizetype(unread.size()));
    for (auto &u : unread)
        names.append(u.second);
    return names;
}

QString MaildirFolderIndex::pathOf(const QString &uniqueName) const
{
    const Entry *entry = find(uniqueName);
    if (!entry)
        return {};
    return m_folderPath + QLatin1Char('/') + QLatin1String(subName(entry->sub)) + QLatin1Char('/') + entry->fileName;
}

void MaildirFolderIndex::remove(const QString &uniqueName)
{
    m_entries.remove(uniqueName);
}

} // namespace lumora
