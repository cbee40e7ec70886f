#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>

namespace lumora::test {

// Runs what on another thread and waits a bounded time. A call stuck opening the pipe is
// set free by opening its other end, so a fault fails the test instead of hanging the run.
inline bool returnsPromptly(const std::function<void()> &what, const QString &pipe)
{
    auto done = std::async(std::launch::async, what);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    done.wait();
    return false;
}

} // namespace lumora::test
