#include "host/mh/MhStore.h"

#include "host/common/HexText.h"
#include "platform/core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

namespace lumora {

namespace {

bool isMessageName(const char *name)
{
    if (!*name || *name == '0')
        return false;
    int digits = 0;
    for (const char *p = name; *p; ++p) {
        if (*p < '0' || *p > '9' || ++digits > 9)
            return false;
    }
    return true;
}

QStringList subdirectories(const QString &path)
{
    QStringList out;
    // Links are not followed: a folder leads nowhere outside the store.
    const QFileInfoList infos =
        QDir(path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &info : infos) {
        if (!info.fileName().startsWith(QLatin1Char('.')))
            out << info.fileName();
    }
    return out;
}

QByteArray readSmall(const QString &path, qint64 max)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(max);
}

} // namespace

MhStore::MhStore(const QString &root)
    : m_root(QDir::cleanPath(QDir(root).absolutePath()))
{
    const QFileInfo info(m_root);
    if (info.isDir())
        m_realRoot = info.canonicalFilePath();
    m_storeId = HexText::encode(QStringLiteral("H") + m_root);
    readProfile();
}

void MhStore::readProfile()
{
    QString profile = qEnvironmentVariable("MH");
    if (profile.isEmpty())
        profile = QDir::homePath() + QStringLiteral("/.mh_profile");
    const QByteArray text = readSmall(profile, 1024 * 1024);
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QString value = QString::fromUtf8(line.mid(colon + 1)).simplified();
        if (name == "unseen-sequence")
            m_unseen = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        else if (name == "mh-sequences" && !value.isEmpty() && !value.contains(QLatin1Char('/')))
            m_sequencesName = value;
        else if (name == "inbox" && !value.isEmpty() && !value.contains(QStringLiteral("..")))
            m_inbox = value;
    }
}

QString MhStore::topDir() const
{
    return QFileInfo(folderPath(m_inbox)).isDir() && !QFileInfo(folderPath(m_inbox)).isSymLink() ? m_inbox : QString();
}

QString MhStore::folderPath(const QString &dir) const
{
    return dir.isEmpty() ? m_root : m_root + QLatin1Char('/') + dir;
}

QString MhStore::sequencesPath(const QString &dir) const
{
    return folderPath(dir) + QLatin1Char('/') + m_sequencesName;
}

QStringList MhStore::childDirs(const QString &dir) const
{
    QStringList out;
    const QString top = topDir();
    for (const QString &name : subdirectories(folderPath(dir)))
        out << (dir.isEmpty() ? name : dir + QLatin1Char('/') + name);
    if (dir == top && !top.isEmpty()) {
        // The other folders of the mail directory show below the Inbox.
        for (const QString &name : subdirectories(m_root)) {
            if (name != top)
                out << name;
        }
    }
    return out;
}

QStringList MhStore::folderDirs() const
{
    QStringList out{topDir()};
    QList<QPair<QString, int>> todo{{topDir(), 0}};
    QSet<QString> seen{topDir()};
    while (!todo.isEmpty()) {
        const auto [dir, depth] = todo.takeFirst();
        if (depth >= MaxDepth)
            continue;
        for (const QString &child : childDirs(dir)) {
            if (seen.contains(child))
                continue;
            seen.insert(child);
            out << child;
            todo.append({child, depth + 1});
        }
    }
    return out;
}

bool MhStore::hasFolder(const QString &dir) const
{
    if (dir.contains(QStringLiteral("..")) || dir.startsWith(QLatin1Char('/')))
        return false;
    return folderDirs().contains(dir);
}

QString MhStore::displayName(const QString &dir) const
{
    if (dir == topDir())
        return QStringLiteral("Inbox");
    return dir.section(QLatin1Char('/'), -1);
}

MhStore::Folder &MhStore::folder(const QString &dir)
{
    Folder &f = m_folders[dir];
    if (!f.listed)
        refresh(dir);
    return f;
}

int MhStore::refresh(const QString &dir, QString *error)
{
    Folder &f = m_folders[dir];
    const Folder before = f;
    f.listed = true;
    f.numbers.clear();
    const QByteArray path = QFile::encodeName(folderPath(dir));
    DIR *d = ::opendir(path.constData());
    if (!d) {
        if (error)
            *error = QStringLiteral("the MH folder %1 cannot be read: %2")
                         .arg(folderPath(dir), QString::fromLocal8Bit(strerror(errno)));
        f.sequences = MhSequences();
        return 0;
    }
    while (const dirent *entry = ::readdir(d)) {
        if (isMessageName(entry->d_name) && (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN))
            f.numbers.append(atoi(entry->d_name));
    }
    ::closedir(d);
    std::sort(f.numbers.begin(), f.numbers.end());
    f.sequences = MhSequences::parse(readSmall(sequencesPath(dir), MhSequences::MaxBytes));
    int fresh = 0;
    for (const int n : f.numbers) {
        if (f.sequences.contains(m_unseen, n)
            && !(before.listed && before.sequences.contains(m_unseen, n)
                 && std::binary_search(before.numbers.begin(), before.numbers.end(), n)))
            ++fresh;
    }
    if (!before.listed && !m_countFirstListing)
        return 0;
    m_unannounced += fresh;
    return fresh;
}

QList<int> MhStore::numbers(const QString &dir)
{
    return folder(dir).numbers;
}

bool MhStore::contains(const QString &dir, int number)
{
    const Folder &f = folder(dir);
    return std::binary_search(f.numbers.begin(), f.numbers.end(), number);
}

bool MhStore::isUnread(const QString &dir, int number)
{
    return contains(dir, number) && folder(dir).sequences.contains(m_unseen, number);
}

int MhStore::unreadCount(const QString &dir)
{
    const Folder &f = folder(dir);
    int n = 0;
    for (const int number : f.numbers)
        n += f.sequences.contains(m_unseen, number) ? 1 : 0;
    return n;
}

bool MhStore::moveToTrash(const QString &dir, int number, QString *error)
{
    const QString from = folderPath(dir) + QLatin1Char('/') + QString::number(number);
    const QString trash = folderPath(trashDir());
    if (!QDir().mkpath(trash)) {
        *error = QStringLiteral("The Trash folder %1 cannot be created").arg(trash);
        return false;
    }
    refresh(trashDir());
    const QList<int> taken = m_folders[trashDir()].numbers;
    int next = taken.isEmpty() ? 1 : taken.last() + 1;
    // No-replace rename: a message another program put there meanwhile is never overwritten.
    for (int attempt = 0; attempt < 100; ++attempt, ++next) {
        const QString to = trash + QLatin1Char('/') + QString::number(next);
        if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                        RENAME_NOREPLACE)
            == 0) {
            refresh(dir);
            refresh(trashDir());
            return true;
        }
        if (errno != EEXIST) {
            *error = QStringLiteral("The message %1 could not be moved to %2: %3")
                         .arg(from, trash, QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
    }
    *error = QStringLiteral("The Trash folder %1 has no free message number").arg(trash);
    return false;
}

bool MhStore::markRead(const QString &dir, int number, QString *error)
{
    if (!isUnread(dir, number))
        return true;
    const QString path = sequencesPath(dir);
    const MhSequences current = MhSequences::parse(readSmall(path, MhSequences::MaxBytes));
    const AtomicFile::Result saved = AtomicFile::write(path, current.without(m_unseen, number));
    if (!saved) {
        *error = QStringLiteral("The sequences file %1 could not be saved: %2").arg(path, saved.error);
        return false;
    }
    refresh(dir);
    return true;
}

QString MhStore::folderEntryId(const QString &dir)
{
    return HexText::encode(QStringLiteral("HF") + dir);
}

bool MhStore::parseFolderEntryId(const QString &id, QString *dir)
{
    QString text;
    if (!HexText::decode(id, &text) || !text.startsWith(QStringLiteral("HF")))
        return false;
    *dir = text.mid(2);
    return true;
}

QString MhStore::itemEntryId(const QString &dir, int number)
{
    return HexText::encode(QStringLiteral("HM%1|%2").arg(number).arg(dir));
}

bool MhStore::parseItemEntryId(const QString &id, QString *dir, int *number)
{
    QString text;
    if (!HexText::decode(id, &text) || !text.startsWith(QStringLiteral("HM")))
        return false;
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    bool ok = false;
    const int n = text.mid(2, bar - 2).toInt(&ok);
    if (bar < 0 || !ok || n < 1)
        return false;
    *number = n;
    *dir = text.mid(bar + 1);
    return true;
}

} // namespace lumora
