// A 1 GB mbox (sparse, in /tmp, removed after) is watched; one message is appended, and
// the source must announce it having read only the new bytes and a few samples. Prints
// bytes read against the file's size; exits non-zero when more than 64 KiB were read.
#include "bench/BenchReport.h"
#include "host/mbox/MboxFile.h"
#include "host/mbox/MboxSource.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

using namespace lumora;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/tmp/lumora-mbox-bench-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("mbox"));
    constexpr qint64 Size = qint64(1) << 30;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write("From ann@example.org Mon Jan  5 09:00:00 2026\nSubject: the big one\nStatus: RO\n\n");
        // A hole: a gigabyte of body that costs no disk.
        if (!file.resize(Size - 2))
            return 2;
        file.seek(Size - 2);
        file.write("\n\n");
    }
    QElapsedTimer timer;
    timer.start();
    MboxSource source(path);
    const double firstReadMs = double(timer.nsecsElapsed()) / 1e6;

    bool announced = false;
    QObject::connect(&source, &MailSource::newMail, &app, [&] {
        announced = true;
        app.quit();
    });
    const quint64 before = MboxFile::bytesRead();
    const QByteArray message = "From bo@example.org Wed Dec  9 01:00:00 2026\nFrom: Bo <bo@example.org>\n"
                               "Subject: appended\nMessage-ID: <appended@example.org>\n\nHello\n\n";
    timer.restart();
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
        if (fd < 0 || ::write(fd, message.constData(), size_t(message.size())) != message.size())
            return 2;
        ::close(fd);
    }
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    app.exec();
    const double announceMs = double(timer.nsecsElapsed()) / 1e6;
    const quint64 read = MboxFile::bytesRead() - before;

    std::printf("mbox of %lld bytes: %llu bytes read for one appended message of %lld bytes\n",
                static_cast<long long>(Size + message.size()), static_cast<unsigned long long>(read),
                static_cast<long long>(message.size()));
    bench::note("mbox first full read", firstReadMs, "ms");
    bench::note("mbox append to newMail (burst quiet time included)", announceMs, "ms");
    const bool ok = bench::report("mbox append: bytes read", double(read), "bytes", "<=", 64 * 1024);
    if (!announced) {
        std::printf("the appended message was not announced\n");
        return 1;
    }
    return ok ? 0 : 1;
}
