// Watches 50 folders and stays idle: the process's CPU time must not grow.
// Usage: bench_MaildirIdleBench [--seconds N] (default 60).
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace lumora;

namespace {

// utime + stime of this process, in clock ticks, from /proc/self/stat.
long long cpuTicks()
{
    QFile f(QStringLiteral("/proc/self/stat"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // Fields after the command: state is index 0, utime 11, stime 12.
    if (fields.size() < 13)
        return -1;
    return fields.at(11).toLongLong() + fields.at(12).toLongLong();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int seconds = 60;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size())
        seconds = qMax(1, args.at(at + 1).toInt());

    QTemporaryDir dir;
    for (int i = 0; i < 50; ++i) {
        const QString folder = i == 0 ? dir.path() : dir.path() + QStringLiteral("/.Folder%1").arg(i);
        for (const char *sub : {"cur", "new", "tmp"})
            QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub));
    }
    MaildirApplication host({dir.path()});
    std::printf("folders: %d, directories watched: %d\n", int(host.stores().first()->folderDirs().size()),
                host.watcher()->watchedCount());

    app.processEvents();
    const long long before = cpuTicks();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const long long after = cpuTicks();
    std::printf("idle %d s: CPU time before %lld ticks, after %lld ticks, growth %lld ticks\n", seconds, before, after,
                after - before);
    return after - before <= 1 ? 0 : 1;
}
