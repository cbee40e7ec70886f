#pragma once

#include <QFile>
#include <QString>

#include <functional>

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

// Runs what as the files' owner (root, when the suite runs as root), also while an
// Unprivileged scope is in force.
inline void asOwner(const std::function<void()> &what)
{
    const uid_t before = uid_t(setfsuid(uid_t(-1)));
    if (geteuid() == 0)
        setfsuid(0);
    what();
    if (geteuid() == 0)
        setfsuid(before);
}

// Changes a mode as the files' owner.
inline void chmodAsOwner(const QString &path, int mode)
{
    asOwner([&] { QFile::setPermissions(path, QFileDevice::Permissions(mode)); });
}

} // namespace lumora::test
