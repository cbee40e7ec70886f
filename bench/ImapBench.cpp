// The IMAP host against a private Dovecot: time from APPEND to NewMail, and what 20 watched
// mailboxes cost while nothing arrives (wake-ups and CPU time of this process).
// Usage: bench_ImapBench [--rounds N] [--seconds N]   (defaults 20 and 60)
// Exits non-zero when Lumora's own part of the median latency (from the server's push reaching
// the IDLE session to NewMail) reaches 200 ms, or the idle process wakes or burns CPU time.
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapConnection.h"
#include "host/imap/ImapWatcher.h"
#include "platform/core/Verbose.h"
#include "tests/testsupport/DovecotServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace lumora;

namespace {

bool waitUntil(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// utime + stime of this process in clock ticks, and its threads' voluntary context
// switches (each one a sleep that ended: a wake-up).
void usage(long long *ticks, long long *wakeups)
{
    *ticks = -1;
    *wakeups = 0;
    QFile f(QStringLiteral("/proc/self/stat"));
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray stat = f.readAll();
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12)
            *ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    }
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:"))
                *wakeups += line.mid(24).trimmed().toLongLong();
        }
    }
}

int argument(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? qMax(1, args.at(at + 1).toInt()) : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argument(app.arguments(), QStringLiteral("--rounds"), 20);
    const int seconds = argument(app.arguments(), QStringLiteral("--seconds"), 60);
    const QString reason = test::DovecotServer::unavailableReason();
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "no IMAP server to measure against: %s\n", qPrintable(reason));
        return 2;
    }
    test::DovecotServer server(40);
    if (!server.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorText()));
        return 2;
    }
    ImapAccountConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = server.imapsPort();
    config.user = QStringLiteral("bench");
    config.password = QStringLiteral("secret");
    config.trustedFingerprints = {server.fingerprint()};

    ImapConnection client(config);
    client.open();
    waitUntil([&] { return client.isReady() || client.isDead(); }, 10000);
    auto run = [&](const QByteArray &command, const QByteArray &literal = {}) {
        bool done = false;
        client.send(
            command, [&](const ImapResponse &, const QList<ImapResponse> &) { done = true; }, literal);
        waitUntil([&] { return done; }, 10000);
    };
    for (int i = 1; i < 20; ++i)
        run("CREATE Box" + QByteArray::number(i));

    ImapApplication host({config});
    // Only the pushes count here, not the announcement of what waited at start.
    host.setStartupCheckMs(24 * 3600 * 1000);
    host.start();
    if (!waitUntil([&] { return host.watcher()->idlingCount() + host.watcher()->notifyCount() == 20; }, 20000)) {
        std::fprintf(stderr, "the 20 mailboxes were not all watched\n");
        return 1;
    }
    std::printf("mailboxes watched: %d with IDLE, %d with NOTIFY, %d by a STATUS round\n",
                host.watcher()->idlingCount(), host.watcher()->notifyCount(), host.watcher()->statusRoundCount());

    // When the server's push reached the host's own IDLE session, from the trace.
    int pushes = 0;
    QElapsedTimer timer;
    double pushAt = 0;
    Verbose::setEnabled(true);
    Verbose::setSink([&](const QString &line) {
        if (line.contains(QLatin1String("message(s) in INBOX"))) {
            ++pushes;
            pushAt = double(timer.nsecsElapsed()) / 1e6;
        }
    });

    // Latency: APPEND sent to NewMail raised, the quiet time that ends a burst included.
    int newMail = 0;
    QObject::connect(&host, &host::Application::NewMail, [&] { ++newMail; });
    QList<double> ms;
    QList<double> pushMs;
    // Per round: from the push reaching our session to NewMail.
    QList<double> ownMs;
    const QByteArray message = "From: a@example.org\r\nSubject: bench\r\n\r\nbody\r\n";
    for (int i = 0; i < rounds; ++i) {
        const int before = newMail;
        const int pushesBefore = pushes;
        timer.start();
        run("APPEND INBOX {" + QByteArray::number(message.size()) + '}', message);
        if (!waitUntil([&] { return pushes > pushesBefore; }, 5000)) {
            std::fprintf(stderr, "the server pushed nothing for APPEND %d\n", i + 1);
            return 1;
        }
        pushMs.append(pushAt);
        if (!waitUntil([&] { return newMail > before; }, 5000)) {
            std::fprintf(stderr, "no NewMail for APPEND %d\n", i + 1);
            return 1;
        }
        ms.append(double(timer.nsecsElapsed()) / 1e6);
        ownMs.append(ms.last() - pushAt);
        waitUntil([] { return false; }, 50);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(pushMs.begin(), pushMs.end());
    std::sort(ownMs.begin(), ownMs.end());
    const double ownMedian = ownMs.at(ownMs.size() / 2);
    const double median = ms.at(ms.size() / 2);
    const double pushMedian = pushMs.at(pushMs.size() / 2);
    std::printf("APPEND to NewMail over %d rounds: median %.1f ms (min %.1f, max %.1f)\n", rounds, median, ms.first(),
                ms.last());
    std::printf("  the server's push reached the IDLE session after: median %.1f ms (Dovecot batches changes "
                "before it pushes)\n",
                pushMedian);
    std::printf("  Lumora's own part, push to NewMail: median %.1f ms, of which %d ms is the quiet time that ends "
                "a burst\n",
                ownMedian, ImapWatcher::QuietMs);
    Verbose::setSink({});
    Verbose::setEnabled(false);
    client.close();

    // Idle: nothing arrives; the process should sleep throughout.
    long long ticks0 = 0;
    long long wake0 = 0;
    long long ticks1 = 0;
    long long wake1 = 0;
    waitUntil([] { return false; }, 500);
    usage(&ticks0, &wake0);
    {
        // The event loop sleeps until a socket or timer wakes it; the one timer here ends it.
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    usage(&ticks1, &wake1);
    std::printf("idle %d s with 20 mailboxes watched: %lld wake-ups, %lld ticks of CPU time\n", seconds, wake1 - wake0,
                ticks1 - ticks0);
    const bool ok = ownMedian < 200.0 && ticks1 - ticks0 <= 1 && wake1 - wake0 <= 2;
    return ok ? 0 : 1;
}
