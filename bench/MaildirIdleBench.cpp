// The real executable idle with 50 watched Maildir folders and, beside them, an IMAP account
// on a private Dovecot in IDLE (the add-in loaded): its context switches (every thread,
// voluntary and not) and CPU time from /proc over the idle time must not grow at all. A
// delivery into the last folder and one to the account afterwards show both were watched.
// Also the time from start to watching, and the resident memory once idle.
//
// Usage: bench_MaildirIdleBench [--seconds N] [--no-imap]   (default 60 s, with the account)
#include "bench/BenchReport.h"
#include "bench/LumoraRun.h"
#include "host/maildir/MaildirStore.h"
#include "tests/testsupport/DovecotServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

#include <unistd.h>

using namespace lumora;
using lumora::test::DovecotServer;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 && at + 1 < args.size() ? qMax(1, args.at(at + 1).toInt()) : 60;
    constexpr int kFolders = 50;
    bool withImap = !args.contains(QStringLiteral("--no-imap"));
    if (withImap && !DovecotServer::unavailableReason().isEmpty()) {
        std::fprintf(stderr, "no IMAP account beside the store: %s\n", qPrintable(DovecotServer::unavailableReason()));
        withImap = false;
    }
    DovecotServer server;
    if (withImap && !server.start()) {
        std::fprintf(stderr, "the IMAP server did not start: %s\n", qPrintable(server.errorText()));
        return 2;
    }

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
    QStringList arguments;
    QByteArray password;
    if (withImap) {
        // The account's Inbox is watched as any source met for the first time is.
        arguments << QStringLiteral("--imap")
                  << QStringLiteral("imap://alice@127.0.0.1:%1?security=plain").arg(server.imapPort())
                  << QStringLiteral("--imap-password-stdin");
        password = "secret\n";
    }
    QElapsedTimer clock;
    clock.start();
    if (!lumora.start({}, {}, arguments, password)) {
        std::fprintf(stderr, "lumora did not start\n");
        return 2;
    }
    const double startMs =
        lumora.waitFor(withImap ? "lumora: watched folders loaded: 51 of 51" : "lumora: attach: done", clock, 30000);
    if (startMs < 0) {
        std::fprintf(stderr, "lumora did not come to watch every folder\n");
        return 2;
    }
    // Start-up settles. A reachable account may hold mail from before the start, so the host
    // checks once a few seconds in; idling is measured after that check's popup countdown.
    if (withImap && lumora.waitFor("lumora: popup: placed", 30000) < 0) {
        std::fprintf(stderr, "the check for mail waiting at start never ran\n");
        return 2;
    }
    QThread::msleep(2000);

    const bench::ProcStats before = bench::procStats(lumora.pid());
    QThread::sleep(seconds);
    const bench::ProcStats after = bench::procStats(lumora.pid());

    // Still alive and watching: a delivery into the last folder is scanned and queued.
    bench::deliver(root + QStringLiteral("/.Folder%1").arg(kFolders - 1), QStringLiteral("1760000000.M1P1.idle"),
                   "From: Idle <idle@example.org>\nSubject: after idling\n\nbody\n");
    const bool watching = lumora.waitFor("lumora: scan: 1 queued", 15000) >= 0;
    bool accountWatching = true;
    if (withImap) {
        accountWatching =
            server.deliver(QStringLiteral("alice"), "From: Away <away@example.org>\nSubject: to the account\n\nbody\n")
            && lumora.waitFor("lumora: scan: 1 queued", 15000) >= 0;
    }
    lumora.stop();

    std::printf("idle %d s with %d watched folders%s, %d threads: context switches %lld -> %lld, CPU ticks %lld -> "
                "%lld, CPU ns %lld -> %lld; delivery afterwards %s, to the account %s\n",
                seconds, kFolders, withImap ? " and an IMAP account" : "", after.threads,
                static_cast<long long>(before.contextSwitches), static_cast<long long>(after.contextSwitches),
                static_cast<long long>(before.cpuTicks), static_cast<long long>(after.cpuTicks),
                static_cast<long long>(before.cpuNs), static_cast<long long>(after.cpuNs),
                watching ? "reported" : "NOT reported",
                !withImap             ? "not tried"
                    : accountWatching ? "reported"
                                      : "NOT reported");
    bool ok = watching && accountWatching && before.contextSwitches >= 0;
    ok = bench::report("idle: wake-ups (context switches)", double(after.contextSwitches - before.contextSwitches), "",
                       "==", 0)
        && ok;
    const double msPerTick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    ok = bench::report("idle: CPU time", double(after.cpuTicks - before.cpuTicks) * msPerTick, "ms", "==", 0) && ok;
    if (before.cpuNs >= 0)
        bench::note("idle: CPU time on schedstat", double(after.cpuNs - before.cpuNs) / 1e6, "ms");
    // A notifier runs all day beside everything else: it must start quickly and stay small.
    ok = bench::report("start: to watching every folder", startMs, "ms", "<=", 3000) && ok;
    ok = bench::report("idle: resident memory", double(after.rssKb) / 1024.0, "MiB", "<=", 80) && ok;
    return ok ? 0 : 1;
}
