#include "host/maildir/MaildirStore.h"

#include "host/common/HexText.h"
#include "host/common/MailboxName.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

bool isDirectory(const QString &path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

MaildirStore::MaildirStore(const QString &rootPath)
{
    const QString canonical = QFileInfo(rootPath).canonicalFilePath();
    if (canonical.isEmpty() || !isDirectory(canonical))
        return;
    m_root = canonical;
    m_realRoot = canonical;
    m_storeId = HexText::encode(QStringLiteral("S") + m_root);
    refreshFolders();
}

MaildirStore::~MaildirStore() = default;

bool MaildirStore::reopen()
{
    if (!isValid())
        return false;
    const QString canonical = QFileInfo(m_root).canonicalFilePath();
    if (canonical.isEmpty() || !isDirectory(canonical))
        return false;
    if (canonical != m_realRoot) {
        m_realRoot = canonical;
        for (auto &folder : m_folders) {
            if (folder.second)
                folder.second->setStoreRoot(m_realRoot);
        }
    }
    refreshFolders();
    return true;
}

void MaildirStore::warnOnce(const QString &key, const QString &text)
{
    // Bounded: a store full of odd files must not grow this without end.
    if (m_warned.size() >= 4096)
        m_warned.clear();
    if (m_warned.contains(key))
        return;
    m_warned.insert(key);
    Verbose::warning(text);
}

QStringList MaildirStore::folderDirs() const
{
    QStringList dirs;
    for (const auto &f : m_folders)
        dirs.append(f.first);
    return dirs;
}

bool MaildirStore::insideRoot(const QString &path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.startsWith(m_realRoot + QLatin1Char('/'));
}

bool MaildirStore::isFolderDirName(const QString &dir)
{
    if (dir.size() < 2 || dir.at(0) != QLatin1Char('.') || dir.contains(QLatin1Char('/')) || dir.contains(QChar(0)))
        return false;
    const QStringList parts = dir.mid(1).split(QLatin1Char('.'));
    for (const QString &part : parts) {
        if (part.isEmpty())
            return false;
    }
    return true;
}

QStringList MaildirStore::refreshFolders()
{
    QStringList added;
    if (!isValid())
        return added;
    if (m_folders.count(QString()) == 0) {
        m_folders.emplace(QString(), nullptr);
        added.append(QString());
    }
    DIR *root = opendir(QFile::encodeName(m_root).constData());
    m_listError = root ? 0 : errno;
    if (!root)
        return added;
    QStringList names;
    while (const dirent *e = readdir(root))
        names.append(QFile::decodeName(e->d_name));
    closedir(root);

    QSet<QString> present{QString()};
    for (const QString &name : std::as_const(names)) {
        if (!isFolderDirName(name))
            continue;
        const QString path = m_root + QLatin1Char('/') + name;
        // A folder is a directory with cur/ inside; a symlink may not lead out of the store.
        struct stat st;
        const bool isFolder = stat(QFile::encodeName(path + QStringLiteral("/cur")).constData(), &st) == 0
            ? S_ISDIR(st.st_mode)
            : errno == EACCES && isDirectory(path);
        if (!isFolder || !insideRoot(path))
            continue;
        present.insert(name);
        if (m_folders.count(name) == 0) {
            m_folders.emplace(name, nullptr);
            added.append(name);
        }
    }
    for (auto it = m_folders.begin(); it != m_folders.end();) {
        if (!present.contains(it->first))
            it = m_folders.erase(it);
        else
            ++it;
    }
    return added;
}

QString MaildirStore::folderPath(const QString &dir) const
{
    return dir.isEmpty() ? m_root : m_root + QLatin1Char('/') + dir;
}

MaildirFolderIndex *MaildirStore::index(const QString &dir)
{
    auto it = m_folders.find(dir);
    if (it == m_folders.end())
        return nullptr;
    if (!it->second) {
        it->second = std::make_unique<MaildirFolderIndex>(folderPath(dir), m_realRoot);
        it->second->refreshAll();
    }
    return it->second.get();
}

MaildirFolderIndex *MaildirStore::loadedIndex(const QString &dir) const
{
    const auto it = m_folders.find(dir);
    return it == m_folders.end() ? nullptr : it->second.get();
}

QString MaildirStore::displayName(const QString &dir) const
{
    if (dir.isEmpty())
        return QStringLiteral("Inbox");
    const QString parent = parentDir(dir);
    // Below a missing intermediate folder the name keeps the parts that have no folder.
    const QString rest = dir.mid(parent.size() + 1);
    QStringList parts = rest.split(QLatin1Char('.'));
    for (QString &part : parts)
        part = MailboxName::decode(part);
    return parts.join(QLatin1Char('.'));
}

QString MaildirStore::parentDir(const QString &dir) const
{
    QString candidate = dir;
    while (true) {
        const qsizetype dot = candidate.lastIndexOf(QLatin1Char('.'));
        if (dot <= 0)
            return QString();
        candidate = candidate.left(dot);
        if (m_folders.count(candidate))
            return candidate;
    }
}

QStringList MaildirStore::childDirs(const QString &dir) const
{
    QStringList children;
    for (const auto &f : m_folders) {
        if (!f.first.isEmpty() && f.first != dir && parentDir(f.first) == dir)
            children.append(f.first);
    }
    return children;
}

bool MaildirStore::ensureFolder(const QString &dir)
{
    if (!isValid() || (!dir.isEmpty() && !isFolderDirName(dir)))
        return false;
    const QString path = folderPath(dir);
    QDir d;
    for (const char *sub : {"cur", "new", "tmp"}) {
        if (!d.mkpath(path + QLatin1Char('/') + QLatin1String(sub)))
            return false;
    }
    if (!dir.isEmpty()) {
        // Maildir++ marks sub-folders so delivery agents treat them as folders.
        QFile marker(path + QStringLiteral("/maildirfolder"));
        if (!marker.exists() && marker.open(QIODevice::WriteOnly))
            marker.close();
    }
    if (!insideRoot(path))
        return false;
    if (!m_folders.count(dir))
        m_folders.emplace(dir, nullptr);
    return true;
}

QString MaildirStore::freshUniqueName()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    char hostName[256] = {};
    gethostname(hostName, sizeof hostName - 1);
    QString host = QString::fromLocal8Bit(hostName);
    host.replace(QLatin1Char('/'), QStringLiteral("\\057")).replace(QLatin1Char(':'), QStringLiteral("\\072"));
    return QStringLiteral("%1.M%2P%3Q%4.%5")
        .arg(ms / 1000)
        .arg((ms % 1000) * 1000)
        .arg(getpid())
        .arg(++m_deliveries)
        .arg(host);
}

bool MaildirStore::moveToTrash(const QString &dir, const QString &uniqueName, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (dir == trashDir())
        return fail(QCoreApplication::translate("MaildirStore", "The message is already in Trash"));
    MaildirFolderIndex *source = index(dir);
    if (!source)
        return fail(QCoreApplication::translate("MaildirStore", "Its folder no longer exists"));
    if (!source->contains(uniqueName))
        source->refreshAll();
    const std::optional<MaildirFolderIndex::Entry> entry = source->find(uniqueName);
    if (!entry)
        return fail(QCoreApplication::translate("MaildirStore",
                                                "The message file is gone (moved or deleted since it arrived)"));
    if (!ensureFolder(trashDir()))
        return fail(QCoreApplication::translate("MaildirStore", "The Trash folder %1 cannot be created")
                        .arg(folderPath(trashDir())));

    QString fileName = entry->fileName;
    if (!fileName.contains(QLatin1String(":2,")))
        fileName = fileName.left(fileName.indexOf(QLatin1Char(':'))) + QStringLiteral(":2,");
    const QString info = fileName.mid(fileName.indexOf(QLatin1Char(':')));
    const QString trashCur = folderPath(trashDir()) + QStringLiteral("/cur/");
    QByteArray from = QFile::encodeName(source->pathOf(uniqueName));
    QString target = trashCur + fileName;

    for (int attempt = 0; attempt < 50; ++attempt) {
        const QByteArray to = QFile::encodeName(target);
        int rc = renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (rc != 0 && errno == EINVAL) {
            // File systems without RENAME_NOREPLACE: check first (a narrow race beats data loss
            // from always overwriting).
            if (QFileInfo::exists(target)) {
                errno = EEXIST;
            } else {
                rc = ::rename(from.constData(), to.constData());
            }
        }
        if (rc == 0) {
            source->remove(uniqueName);
            if (MaildirFolderIndex *trash = loadedIndex(trashDir()))
                trash->fileAdded(MaildirFolderIndex::Cur, QFile::encodeName(target.mid(trashCur.size())));
            return true;
        }
        if (errno == EEXIST) {
            // Keep both: the message gets a new unique name in Trash.
            target = trashCur + freshUniqueName() + info;
            continue;
        }
        if (errno == ENOENT && attempt == 0) {
            // A synchroniser moved it meanwhile: find where it went and try once more.
            source->refreshAll();
            const QString path = source->pathOf(uniqueName);
            if (path.isEmpty())
                return fail(QCoreApplication::translate(
                    "MaildirStore", "The message file is gone (moved or deleted since it arrived)"));
            from = QFile::encodeName(path);
            continue;
        }
        // EXDEV and any other failure: the message stays where it was.
        return fail(QCoreApplication::translate("MaildirStore", "It cannot be moved to %1: %2")
                        .arg(trashCur, QString::fromLocal8Bit(strerror(errno))));
    }
    return fail(QCoreApplication::translate("MaildirStore", "No free name for it in %1").arg(trashCur));
}

QString MaildirStore::seenFileName(const QString &fileName)
{
    const qsizetype colon = fileName.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return fileName + QStringLiteral(":2,S");
    const QString info = fileName.mid(colon);
    if (info == QLatin1String(":2"))
        return fileName + QStringLiteral(",S");
    if (!info.startsWith(QLatin1String(":2,")))
        return {}; // experimental or unknown info: not ours to rewrite
    // The flags run to the end or to a further separator, which stays with what follows it.
    qsizetype end = colon + 3;
    while (end < fileName.size() && fileName.at(end) != QLatin1Char(',') && fileName.at(end) != QLatin1Char(':'))
        ++end;
    QString flags = fileName.mid(colon + 3, end - colon - 3);
    if (flags.contains(QLatin1Char('S')))
        return fileName;
    flags.append(QLatin1Char('S'));
    std::sort(flags.begin(), flags.end());
    flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
    return fileName.left(colon + 3) + flags + fileName.mid(end);
}

bool MaildirStore::markSeen(const QString &dir, const QString &uniqueName, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    MaildirFolderIndex *folder = index(dir);
    if (!folder)
        return fail(QCoreApplication::translate("MaildirStore", "Its folder no longer exists"));
    if (!folder->contains(uniqueName))
        folder->refreshAll();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::optional<MaildirFolderIndex::Entry> entry = folder->find(uniqueName);
        if (!entry)
            return fail(QCoreApplication::translate("MaildirStore",
                                                    "The message file is gone (moved or deleted since it arrived)"));
        if (entry->seen)
            return true;
        const QString target = seenFileName(entry->fileName);
        if (target.isEmpty())
            return fail(QCoreApplication::translate("MaildirStore",
                                                    "Its file name %1 carries no Maildir flags that could be changed")
                            .arg(entry->fileName));
        const QString curDir = folderPath(dir) + QStringLiteral("/cur/");
        const QByteArray from = QFile::encodeName(folder->pathOf(uniqueName));
        const QByteArray to = QFile::encodeName(curDir + target);
        int rc = renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (rc != 0 && errno == EINVAL) {
            // File systems without RENAME_NOREPLACE: check first rather than overwrite.
            if (QFileInfo::exists(curDir + target))
                errno = EEXIST;
            else
                rc = ::rename(from.constData(), to.constData());
        }
        if (rc == 0) {
            folder->fileRemoved(entry->sub, QFile::encodeName(entry->fileName));
            folder->fileAdded(MaildirFolderIndex::Cur, QFile::encodeName(target), true);
            return true;
        }
        if (errno == ENOENT && attempt == 0) {
            // Another client renamed it meanwhile (perhaps reading it): look where it went.
            folder->refreshAll();
            continue;
        }
        if (errno == EEXIST)
            return fail(
                QCoreApplication::translate("MaildirStore", "Another file is already named %1%2").arg(curDir, target));
        return fail(QCoreApplication::translate("MaildirStore", "It cannot be renamed to %1%2: %3")
                        .arg(curDir, target, QString::fromLocal8Bit(strerror(errno))));
    }
    return fail(
        QCoreApplication::translate("MaildirStore", "The message file is gone (moved or deleted since it arrived)"));
}

QString MaildirStore::folderEntryId(const QString &dir)
{
    return HexText::encode(QStringLiteral("F") + dir);
}

bool MaildirStore::parseFolderEntryId(const QString &id, QString *dir)
{
    QString text;
    if (!HexText::decode(id, &text) || !text.startsWith(QLatin1Char('F')))
        return false;
    *dir = text.mid(1);
    return dir->isEmpty() || isFolderDirName(*dir);
}

QString MaildirStore::itemEntryId(const QString &dir, const QString &uniqueName)
{
    return HexText::encode(QStringLiteral("M") + dir + QLatin1Char('/') + uniqueName);
}

bool MaildirStore::parseItemEntryId(const QString &id, QString *dir, QString *uniqueName)
{
    QString text;
    if (!HexText::decode(id, &text) || !text.startsWith(QLatin1Char('M')))
        return false;
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return false;
    *dir = text.mid(1, slash - 1);
    *uniqueName = text.mid(slash + 1);
    if (uniqueName->isEmpty() || uniqueName->contains(QLatin1Char('/')) || uniqueName->startsWith(QLatin1Char('.')))
        return false;
    return dir->isEmpty() || isFolderDirName(*dir);
}

} // namespace lumora
