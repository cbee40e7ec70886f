#include "host/mbox/MboxWatcher.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace lumora {

MboxWatcher::MboxWatcher(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_name(QFile::encodeName(QFileInfo(path).fileName()))
    , m_lockName(m_name + ".lock")
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        m_problem = QStringLiteral("inotify is not available (%1): new mail in %2 is not noticed")
                        .arg(QString::fromLocal8Bit(strerror(errno)), m_path);
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MboxWatcher::readEvents);
    rewatch();
}

MboxWatcher::~MboxWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MboxWatcher::rewatch()
{
    if (m_fd < 0)
        return false;
    const QString dir = QFileInfo(m_path).absolutePath();
    m_dirWd = ::inotify_add_watch(m_fd, QFile::encodeName(dir).constData(),
                                  IN_CREATE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_ONLYDIR);
    if (m_dirWd < 0) {
        m_problem = QStringLiteral("the folder %1 cannot be watched (%2): new mail in %3 is not noticed")
                        .arg(dir, QString::fromLocal8Bit(strerror(errno)), m_path);
        return false;
    }
    m_problem.clear();
    watchFile();
    return true;
}

void MboxWatcher::watchFile()
{
    // Adding a watch for the same inode again only updates it; a new file gets a new one.
    m_fileWd = ::inotify_add_watch(m_fd, QFile::encodeName(m_path).constData(),
                                   IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF);
}

void MboxWatcher::readEvents()
{
    alignas(struct inotify_event) char buffer[16384];
    bool relevant = false;
    bool dirGone = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event)) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                relevant = true;
                continue;
            }
            if (event->wd == m_dirWd) {
                if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                    dirGone = true;
                    continue;
                }
                const QByteArray name(event->name, qsizetype(strnlen(event->name, event->len)));
                if (name == m_name) {
                    if (event->mask & (IN_CREATE | IN_MOVED_TO))
                        watchFile();
                    relevant = true;
                } else if (name == m_lockName && (event->mask & (IN_DELETE | IN_MOVED_FROM))) {
                    relevant = true;
                }
            } else if (event->wd == m_fileWd) {
                relevant = true;
            }
        }
    }
    if (dirGone) {
        m_dirWd = -1;
        m_problem = QStringLiteral("the folder of %1 is gone: new mail there is not noticed").arg(m_path);
    }
    if (relevant || dirGone)
        Q_EMIT changed();
}

} // namespace lumora
