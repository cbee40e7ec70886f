// Deliveries in bursts. First the host alone: the main thread's CPU time per delivery in a
// folder of 10 messages and in one of 100 000 (deliveries come from another thread, the
// host runs its real event loop), the directory listings made meanwhile (none: names come
// from the events) and one NewMail per burst. Then the whole executable: its resident
// memory after 10 000 deliveries in bursts, against the start.
//
// Usage: bench_MaildirBurstBench [--bursts N] [--per-burst N] [--memory-bursts N]
#include "bench/BenchReport.h"
#include "bench/LumoraRun.h"
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirFolderIndex.h"
#include "host/maildir/MaildirStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <thread>

using namespace lumora;

namespace {

const QByteArray kBody = "From: Burst <burst@example.org>\nSubject: burst\n\n" + QByteArray(2000, 'x') + "\n";

int argument(const QStringList &args, const char *name, int fallback)
{
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at >= 0 && at + 1 < args.size() ? std::max(1, args.at(at + 1).toInt()) : fallback;
}

QString burstName(int burst, int i)
{
    return QStringLiteral("%1.M%2P%3Q%4.burst.example.org").arg(1760000000 + burst).arg(i).arg(7000 + burst).arg(i);
}

void removeDeliveries(const QString &folder)
{
    QDir dir(folder + QStringLiteral("/new"));
    for (const QString &name : dir.entryList({QStringLiteral("*.burst.example.org")}, QDir::Files))
        dir.remove(name);
}

struct HostFigures
{
    double cpuNsPerDelivery = 0;
    quint64 listings = 0;
    int newMail = 0;
    bool indexed = false;
};

HostFigures deliverInBursts(const QString &folder, int bursts, int perBurst)
{
    removeDeliveries(folder);
    HostFigures f;
    MaildirApplication host({folder});
    MaildirFolderIndex *index = host.stores().first()->index(QString());
    const int before = index->count();
    QObject::connect(&host, &host::Application::NewMail, [&f] { ++f.newMail; });
    const quint64 listings = MaildirFolderIndex::listings();
    qint64 cpuNs = 0;
    for (int b = 0; b < bursts; ++b) {
        QEventLoop loop;
        QObject::connect(&host, &host::Application::NewMail, &loop, &QEventLoop::quit);
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        const qint64 start = bench::threadCpuNs();
        std::thread agent([&] {
            for (int i = 0; i < perBurst; ++i)
                bench::deliver(folder, burstName(b, i), kBody);
        });
        loop.exec();
        agent.join();
        cpuNs += bench::threadCpuNs() - start;
    }
    f.listings = MaildirFolderIndex::listings() - listings;
    f.indexed = index->count() == before + bursts * perBurst;
    f.cpuNsPerDelivery = double(cpuNs) / (bursts * perBurst);
    removeDeliveries(folder);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int bursts = argument(args, "--bursts", 5);
    const int perBurst = argument(args, "--per-burst", 500);
    const int memoryBursts = argument(args, "--memory-bursts", 20);

    QTemporaryDir small;
    const QString big = QDir::tempPath() + QStringLiteral("/lumora-bench-scan"); // shared with the scan benchmark
    if (!bench::buildFolder(small.path(), 10, 2) || !bench::buildFolder(big, 100000, 10)) {
        std::fprintf(stderr, "cannot build the folders\n");
        return 2;
    }
    deliverInBursts(small.path(), 1, perBurst); // warm up code and caches
    const HostFigures few = deliverInBursts(small.path(), bursts, perBurst);
    const HostFigures many = deliverInBursts(big, bursts, perBurst);
    std::printf("host CPU per delivery: %.1f us in a folder of 10, %.1f us in one of 100 000\n",
                few.cpuNsPerDelivery / 1000, many.cpuNsPerDelivery / 1000);
    std::printf("NewMail: %d and %d for %d bursts; listings while delivering: %llu and %llu\n", few.newMail,
                many.newMail, bursts, static_cast<unsigned long long>(few.listings),
                static_cast<unsigned long long>(many.listings));
    bool ok = few.indexed && many.indexed;
    ok = bench::report("burst: delivery cost 100k / 10 messages", many.cpuNsPerDelivery / few.cpuNsPerDelivery, "x",
                       "<=", 1.5)
        && ok;
    bench::note("burst: host CPU per delivery (100k folder)", many.cpuNsPerDelivery / 1000, "us");
    ok = bench::report("burst: directory listings while delivering", double(few.listings + many.listings), "", "==", 0)
        && ok;
    ok = bench::report("burst: NewMail signals per burst", double(few.newMail + many.newMail) / (2 * bursts), "",
                       "==", 1)
        && ok;

    // The whole executable: warmed up by one message shown, then memoryBursts x perBurst.
    bench::LumoraRun lumora;
    lumora.writeSettings("\"MessageDelay\"=\"1000\"\n\"PopAlign\"=\"3\"\n");
    if (!lumora.start() || lumora.waitFor("lumora: attach: done", 20000) < 0) {
        std::fprintf(stderr, "lumora did not start\n");
        return 2;
    }
    bench::deliver(lumora.maildir(), QStringLiteral("1759999999.M1P1.warmup.example.org"), kBody);
    if (lumora.waitFor("lumora: popup: closed", 20000) < 0) {
        std::fprintf(stderr, "lumora showed no popup for the first message\n");
        return 2;
    }
    QThread::msleep(500);
    const qint64 startKb = bench::procStats(lumora.pid()).rssKb;
    int newMail = 0;
    for (int b = 0; b < memoryBursts; ++b) {
        for (int i = 0; i < perBurst; ++i)
            bench::deliver(lumora.maildir(), burstName(b, i), kBody);
        newMail += lumora.waitFor("lumora: NewMail", 10000) >= 0;
    }
    const bool scanned = lumora.waitFor("lumora: scan:", 30000) >= 0;
    QThread::msleep(2000);
    const qint64 endKb = bench::procStats(lumora.pid()).rssKb;
    lumora.stop();
    const int delivered = memoryBursts * perBurst;
    std::printf("lumora resident: %lld kB at the start, %lld kB after %d deliveries (%d NewMail, scan %s)\n",
                static_cast<long long>(startKb), static_cast<long long>(endKb), delivered, newMail,
                scanned ? "done" : "missing");
    ok = scanned && ok;
    ok = bench::report("burst: lumora resident growth after 10k deliveries", double(endKb - startKb) / 1024, "MB",
                       "<=", 2.0)
        && ok;
    bench::note("burst: lumora resident growth per delivery", double(endKb - startKb) * 1024 / delivered, "B");
    return ok ? 0 : 1;
}
