#pragma once

#include <QFile>
#include <QString>

#include <sys/fsuid.h>
#include <unistd.h>

namespace lumora::test {

// File permissions are checked as an unprivileged user on this thread while it lives, so
// "permission denied" can be tested when the suite runs as root too.
class Unprivileged
{
public:
    static constexpr uid_t Nobody = 65534;

    Unprivileged()
    {
        if (geteuid() == 0)
            setfsuid(Nobody);
    }
    ~Unprivileged()
    {
        if (geteuid() == 0)
            setfsuid(0);
    }
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;
};

// Changes a mode as the files' owner, also while an Unprivileged scope is in force.
inline void chmodAsOwner(const QString &path, int mode)
{
    const uid_t before = uid_t(setfsuid(uid_t(-1)));
    if (geteuid() == 0)
        setfsuid(0);
    QFile::setPermissions(path, QFileDevice::Permissions(mode));
    if (geteuid() == 0)
        setfsuid(before);
}

} // namespace lumora::test
