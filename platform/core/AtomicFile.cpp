#include "platform/core/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

AtomicFile::Result failure(int error)
{
    return {false, qt_error_string(error)};
}

// A hidden name beside the target, so that nothing that lists the folder for its own files
// (autostart entries, corrupt copies) mistakes a save in progress for one of them.
int createTemporary(const QString &folder, const QString &name, QByteArray *tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
        *tempPath = QFile::encodeName(folder + QStringLiteral("/.") + name + u'.' + suffix);
        int fd;
        do {
            // 0666: the kernel applies the umask, as for any new file of the user's.
            fd = ::open(tempPath->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, QByteArrayView bytes, int *error)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = errno;
            return false;
        }
        if (n == 0) {
            // A regular file that takes nothing has no room; the next try would do the same.
            *error = ENOSPC;
            return false;
        }
        // A short write is no failure yet: the next write says what stopped it, if anything.
        data += n;
        left -= n;
    }
    return true;
}

int syncRetrying(int fd)
{
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc < 0 && errno == EINTR);
    return rc;
}

} // namespace

AtomicFile::Result AtomicFile::write(const QString &path, QByteArrayView bytes)
{
    QString target = path;
    const QFileInfo given(path);
    if (given.isSymLink()) {
        // Replacing the link itself would cut it from wherever the user keeps the real file.
        target = given.canonicalFilePath();
        if (target.isEmpty())
            target = given.symLinkTarget();
    }
    const QFileInfo info(target);
    const QByteArray encodedTarget = QFile::encodeName(info.absoluteFilePath());

    QByteArray tempPath;
    const int fd = createTemporary(info.absolutePath(), info.fileName(), &tempPath);
    if (fd < 0)
        return failure(errno);

    int error = 0;
    struct stat existing
    {};
    if (::stat(encodedTarget.constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);
    bool saved = writeAll(fd, bytes, &error);
    if (saved && syncRetrying(fd) != 0) {
        error = errno;
        saved = false;
    }
    // close() can report what a delayed write-back found (NFS, a full quota).
    if (::close(fd) != 0 && saved && errno != EINTR) {
        error = errno;
        saved = false;
    }
    if (saved && ::rename(tempPath.constData(), encodedTarget.constData()) != 0) {
        error = errno;
        saved = false;
    }
    if (!saved) {
        ::unlink(tempPath.constData());
        return failure(error);
    }

    // The rename is durable only once the folder's entry is on disk too. Some file systems
    // cannot sync a folder; the file is in place all the same, so that is no failure.
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        syncRetrying(folder);
        ::close(folder);
    }
    return {true, QString()};
}

} // namespace lumora
