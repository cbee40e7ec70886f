#include "host/mh/MhWatcher.h"

#include "host/mh/MhStore.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace lumora {

namespace {

constexpr quint32 FolderMask =
    IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;

} // namespace

MhWatcher::MhWatcher(MhStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        m_problem = QStringLiteral("inotify is not available (%1): new mail in %2 is not noticed")
                        .arg(QString::fromLocal8Bit(strerror(errno)), store.rootPath());
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MhWatcher::readEvents);
    sync();
}

MhWatcher::~MhWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MhWatcher::sync()
{
    if (m_fd < 0)
        return false;
    QStringList wanted = m_store.folderDirs();
    if (!wanted.contains(QString()))
        wanted << QString(); // the root, for folders made beside the Inbox
    QStringList failed;
    QSet<int> keep;
    for (const QString &dir : wanted) {
        // The same directory again gives the same descriptor.
        const int wd = ::inotify_add_watch(m_fd, QFile::encodeName(m_store.folderPath(dir)).constData(), FolderMask);
        if (wd < 0) {
            failed << QStringLiteral("%1 (%2)").arg(m_store.folderPath(dir), QString::fromLocal8Bit(strerror(errno)));
            continue;
        }
        m_dirs.insert(wd, dir);
        keep.insert(wd);
    }
    for (auto it = m_dirs.begin(); it != m_dirs.end();) {
        if (!keep.contains(it.key())) {
            ::inotify_rm_watch(m_fd, it.key());
            it = m_dirs.erase(it);
        } else {
            ++it;
        }
    }
    m_problem = failed.isEmpty()
        ? QString()
        : QStringLiteral("MH folders that cannot be watched: %1").arg(failed.join(QStringLiteral(", ")));
    return failed.isEmpty();
}

void MhWatcher::readEvents()
{
    alignas(struct inotify_event) char buffer[16384];
    QSet<QString> dirs;
    bool structure = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event)) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                structure = true;
                for (const QString &dir : m_store.folderDirs())
                    dirs.insert(dir);
                continue;
            }
            const auto found = m_dirs.constFind(event->wd);
            if (found == m_dirs.constEnd())
                continue;
            if (event->mask & (IN_ISDIR | IN_DELETE_SELF | IN_IGNORED))
                structure = true;
            else
                dirs.insert(*found);
        }
    }
    if (structure)
        sync();
    if (structure || !dirs.isEmpty())
        Q_EMIT changed(QStringList(dirs.begin(), dirs.end()), structure);
}

} // namespace lumora
