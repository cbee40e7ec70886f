// The real executable idle with 50 watched folders (the add-in loaded, all 50 in its INI):
// its context switches (every thread, voluntary and not) and CPU time from /proc over the
// idle time must not grow at all. A delivery into the last folder afterwards shows the
// folders were being watched.
//
// Usage: bench_MaildirIdleBench [--seconds N] (default 60)
#include "bench/BenchReport.h"
#include "bench/LumoraRun.h"
#include "host/maildir/MaildirStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

#include <unistd.h>

using namespace lumora;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 && at + 1 < args.size() ? qMax(1, args.at(at + 1).toInt()) : 60;
    constexpr int kFolders = 50;

    bench::LumoraRun lumora;
    const QString root = QFileInfo(lumora.maildir()).canonicalFilePath();
    QByteArray ini = "[Setup]\nInit=0\n[EntryID]\n";
    for (int i = 0; i < kFolders; ++i) {
        const QString dir = i == 0 ? QString() : QStringLiteral(".Folder%1").arg(i);
        for (const char *sub : {"cur", "new", "tmp"})
            QDir().mkpath((dir.isEmpty() ? root : root + QLatin1Char('/') + dir) + QLatin1Char('/')
                          + QLatin1String(sub));
        MaildirStore store(root);
        ini += QStringLiteral("EID%1=%2|%3\n").arg(i).arg(MaildirStore::folderEntryId(dir), store.storeId()).toUtf8();
    }
    lumora.writeIni(ini);
    lumora.writeSettings("\"MessageDelay\"=\"1000\"\n");
    if (!lumora.start() || lumora.waitFor("lumora: attach: done", 20000) < 0) {
        std::fprintf(stderr, "lumora did not start\n");
        return 2;
    }
    QThread::msleep(2000); // start-up settles

    const bench::ProcStats before = bench::procStats(lumora.pid());
    QThread::sleep(seconds);
    const bench::ProcStats after = bench::procStats(lumora.pid());

    // Still alive and watching: a delivery into the last folder is scanned and queued.
    bench::deliver(root + QStringLiteral("/.Folder%1").arg(kFolders - 1), QStringLiteral("1760000000.M1P1.idle"),
                   "From: Idle <idle@example.org>\nSubject: after idling\n\nbody\n");
    const bool watching = lumora.waitFor("lumora: scan: 1 queued", 15000) >= 0;
    lumora.stop();

    std::printf("idle %d s with %d watched folders, %d threads: context switches %lld -> %lld, CPU ticks %lld -> "
                "%lld, CPU ns %lld -> %lld; delivery afterwards %s\n",
                seconds, kFolders, after.threads, static_cast<long long>(before.contextSwitches),
                static_cast<long long>(after.contextSwitches), static_cast<long long>(before.cpuTicks),
                static_cast<long long>(after.cpuTicks), static_cast<long long>(before.cpuNs),
                static_cast<long long>(after.cpuNs), watching ? "reported" : "NOT reported");
    bool ok = watching && before.contextSwitches >= 0;
    ok = bench::report("idle: wake-ups (context switches)", double(after.contextSwitches - before.contextSwitches), "",
                       "==", 0)
        && ok;
    const double msPerTick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    ok = bench::report("idle: CPU time", double(after.cpuTicks - before.cpuTicks) * msPerTick, "ms", "==", 0) && ok;
    if (before.cpuNs >= 0)
        bench::note("idle: CPU time on schedstat", double(after.cpuNs - before.cpuNs) / 1e6, "ms");
    return ok ? 0 : 1;
}
