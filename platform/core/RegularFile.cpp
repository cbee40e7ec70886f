#include "platform/core/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

RegularFile::~RegularFile()
{
    close();
}

QString RegularFile::kindOf(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return QStringLiteral("a regular file");
    case S_IFDIR:
        return QStringLiteral("a directory");
    case S_IFIFO:
        return QStringLiteral("a named pipe");
    case S_IFCHR:
    case S_IFBLK:
        return QStringLiteral("a device");
    case S_IFSOCK:
        return QStringLiteral("a socket");
    case S_IFLNK:
        return QStringLiteral("a symbolic link");
    default:
        return QStringLiteral("no regular file");
    }
}

bool RegularFile::fail(const QString &why)
{
    close();
    m_error = why;
    return false;
}

bool RegularFile::openForReading(const QString &path, Links links)
{
    return open(path, O_RDONLY, links);
}

bool RegularFile::openForAppend(const QString &path)
{
    return open(path, O_WRONLY | O_APPEND | O_CREAT, Links::Follow);
}

bool RegularFile::open(const QString &path, int flags, Links links)
{
    close();
    m_error.clear();
    m_path = path;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return fail(QStringLiteral("no file name was given"));
    // Looked at first so that a device is not even opened (opening some has effects); the
    // check after opening is the one that counts, as the path may change in between.
    struct stat st;
    const int looked = links == Links::Refuse ? ::lstat(name.constData(), &st) : ::stat(name.constData(), &st);
    if (looked == 0 && !S_ISREG(st.st_mode))
        return fail(QStringLiteral("%1 is %2, not a regular file").arg(path, kindOf(st.st_mode)));
    if (looked != 0 && !(errno == ENOENT && (flags & O_CREAT)))
        return fail(QStringLiteral("%1 cannot be opened: %2").arg(path, systemError(errno)));

    int all = flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == Links::Refuse)
        all |= O_NOFOLLOW;
    int fd;
    do {
        fd = ::open(name.constData(), all, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ELOOP && links == Links::Refuse)
            return fail(QStringLiteral("%1 is a symbolic link, which is not followed here").arg(path));
        if (errno == ENXIO)
            return fail(QStringLiteral("%1 is not a regular file").arg(path));
        return fail(QStringLiteral("%1 cannot be opened: %2").arg(path, systemError(errno)));
    }
    m_fd = fd;
    if (::fstat(fd, &st) != 0)
        return fail(QStringLiteral("%1 cannot be examined: %2").arg(path, systemError(errno)));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("%1 is %2, not a regular file").arg(path, kindOf(st.st_mode)));
    // Non-blocking was only for the opening; reads and writes of a regular file go on as usual.
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0)
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    m_size = qint64(st.st_size);
    return true;
}

int RegularFile::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

bool RegularFile::read(qint64 maxBytes, QByteArray *out)
{
    if (m_fd < 0) {
        m_error = QStringLiteral("the file is not open");
        return false;
    }
    qint64 done = 0;
    while (done < maxBytes) {
        const qint64 chunk = qMin<qint64>(maxBytes - done, 64 * 1024);
        const qsizetype at = out->size();
        out->resize(at + qsizetype(chunk));
        ssize_t n;
        do {
            n = ::read(m_fd, out->data() + at, size_t(chunk));
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            const int error = errno;
            out->resize(at);
            m_error = QStringLiteral("%1 cannot be read: %2").arg(m_path, systemError(error));
            return false;
        }
        out->resize(at + qsizetype(n));
        if (n == 0)
            break;
        done += n;
    }
    return true;
}

bool RegularFile::readAll(qint64 maxBytes, QByteArray *out)
{
    const auto tooLarge = [&] {
        m_error = QStringLiteral("%1 is larger than %2 bytes, far more than it should hold").arg(m_path).arg(maxBytes);
        return false;
    };
    if (m_fd >= 0 && m_size > maxBytes)
        return tooLarge();
    QByteArray data;
    // One byte beyond the limit tells a file that grew past it from one that ends there.
    if (!read(maxBytes + 1, &data))
        return false;
    if (data.size() > maxBytes)
        return tooLarge();
    out->append(data);
    return true;
}

QString RegularFile::openedPath() const
{
    if (m_fd < 0)
        return {};
    char target[4096];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(m_fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
    if (n <= 0)
        return {};
    return QFile::decodeName(QByteArray(target, qsizetype(n)));
}

bool RegularFile::readFile(const QString &path, qint64 maxBytes, QByteArray *data, QString *error)
{
    RegularFile file;
    QByteArray bytes;
    const bool ok = file.openForReading(path) && file.readAll(maxBytes, &bytes);
    if (ok)
        *data = bytes;
    else if (error)
        *error = file.errorString();
    return ok;
}

} // namespace lumora
