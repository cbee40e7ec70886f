// Opening a folder of 100 000 messages (10 unread) against the floor measured here, in the
// same run: a bare readdir of the folder with the unread files stat'ed. "Opening" is what
// the host does from nothing: the store, the folder's listing, then the unread search
// through the object model, in a host that watches an IMAP account on a private Dovecot
// beside the store (as a user's Lumora does). Also the index's bytes per message, by its
// own count and by the resident memory it added, and the message files the search opened
// (none).
//
// Usage: bench_MaildirScanBench [--messages N] [--unread N] [--runs N] [--no-imap]
#include "bench/BenchReport.h"
#include "host/common/MailApplication.h"
#include "host/common/MailHeaderReader.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapSource.h"
#include "host/maildir/MaildirSource.h"
#include "host/maildir/MaildirStore.h"
#include "tests/testsupport/DovecotServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>

using namespace lumora;
using lumora::test::DovecotServer;

namespace {

int argument(const QStringList &args, const char *name, int fallback)
{
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at >= 0 && at + 1 < args.size() ? std::max(1, args.at(at + 1).toInt()) : fallback;
}

// The floor: list new/ and cur/ and stat the files without the S flag, nothing kept.
int readdirFloor(const QString &folder)
{
    int unread = 0;
    for (const char *sub : {"/new", "/cur"}) {
        DIR *dir = opendir(QFile::encodeName(folder + QLatin1String(sub)).constData());
        if (!dir)
            continue;
        while (const dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            const char *info = std::strstr(e->d_name, ":2,");
            if (info && std::strchr(info + 3, 'S'))
                continue;
            struct stat st;
            if (fstatat(dirfd(dir), e->d_name, &st, 0) == 0)
                ++unread;
        }
        closedir(dir);
    }
    return unread;
}

// The host opening the folder: store, listing, unread search, as the add-in's scan does it,
// looked up through the namespace of every source.
int openAndSearch(MailApplication &host, const QString &root)
{
    auto source = std::make_unique<MaildirSource>(root);
    const QString storeId = source->storeId();
    if (!host.addSource(std::move(source)))
        return -1;
    const host::FolderPtr inbox = host.session()->GetFolderFromID(MaildirStore::folderEntryId(QString()), storeId);
    host::ItemsPtr items = inbox ? inbox->items() : nullptr;
    int found = 0;
    for (host::ItemPtr i = items ? items->Find(QStringLiteral("[Unread] = true")) : nullptr; i; i = items->FindNext())
        ++found;
    host.removeSource(storeId);
    return found;
}

struct Best
{
    double wallMs = 1e18;
    double cpuMs = 1e18; // this thread's CPU time, kernel included: what a busy machine cannot inflate
};

void timeOnce(Best &best, const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    const qint64 cpu = bench::threadCpuNs();
    work();
    best.cpuMs = std::min(best.cpuMs, double(bench::threadCpuNs() - cpu) / 1e6);
    best.wallMs = std::min(best.wallMs, double(t.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int messages = argument(args, "--messages", 100000);
    const int unread = argument(args, "--unread", 10);
    const int runs = argument(args, "--runs", 7);
    const QString root = QDir::tempPath() + QStringLiteral("/lumora-bench-scan");
    MailApplication host;
    DovecotServer server;
    const bool withImap = !args.contains(QStringLiteral("--no-imap")) && DovecotServer::unavailableReason().isEmpty();
    if (withImap) {
        if (!server.start()) {
            std::fprintf(stderr, "the IMAP server did not start: %s\n", qPrintable(server.errorText()));
            return 2;
        }
        ImapAccountConfig config;
        config.host = QStringLiteral("127.0.0.1");
        config.port = server.imapsPort();
        config.user = QStringLiteral("alice");
        config.password = QStringLiteral("secret");
        config.trustedFingerprints = {server.fingerprint()};
        host.addSource(std::make_unique<ImapSource>(config));
        host.start();
    }
    if (!bench::buildFolder(root, messages, unread)) {
        std::fprintf(stderr, "cannot build the folder at %s\n", qPrintable(root));
        return 2;
    }

    // Resident memory the index adds, measured on the first opening of the process.
    malloc_trim(0);
    const qint64 rssBefore = bench::procStats(QCoreApplication::applicationPid()).rssKb;
    auto store = std::make_shared<MaildirStore>(root);
    MaildirFolderIndex *index = store->index(QString());
    malloc_trim(0);
    const qint64 rssAfter = bench::procStats(QCoreApplication::applicationPid()).rssKb;
    const int count = index ? index->count() : 0;
    const double indexBytes = count ? double(index->memoryBytes()) / count : 0;
    const double rssBytes = count ? double(rssAfter - rssBefore) * 1024 / count : 0;
    store.reset();

    readdirFloor(root); // warm the cache for both
    int floorUnread = 0;
    int found = 0;
    Best floor;
    Best open;
    const quint64 opened = MailHeaderReader::filesOpened();
    // Interleaved, so both see the same load on a shared machine.
    for (int r = 0; r < runs; ++r) {
        timeOnce(floor, [&] { floorUnread = readdirFloor(root); });
        timeOnce(open, [&] { found = openAndSearch(host, root); });
    }
    const quint64 filesOpened = MailHeaderReader::filesOpened() - opened;

    std::printf("messages: %d, unread found by the floor %d, by the host %d%s\n", count, floorUnread, found,
                withImap ? " (an IMAP account beside the store)" : "");
    std::printf("best of %d: readdir floor %.1f ms CPU (%.1f ms wall); host opening and search %.1f ms CPU (%.1f ms "
                "wall)\n",
                runs, floor.cpuMs, floor.wallMs, open.cpuMs, open.wallMs);
    bool ok = found == floorUnread && count == messages;
    ok = bench::report("scan: open / readdir floor (CPU time)", open.cpuMs / floor.cpuMs, "x", "<=", 3.0) && ok;
    bench::note("scan: open / readdir floor (wall time)", open.wallMs / floor.wallMs, "x");
    bench::note("scan: open 100k folder (wall)", open.wallMs, "ms");
    bench::note("scan: readdir floor (wall)", floor.wallMs, "ms");
    ok = bench::report("scan: index bytes per message (own count)", indexBytes, "B", "<", 100) && ok;
    ok = bench::report("scan: index bytes per message (resident)", rssBytes, "B", "<", 100) && ok;
    ok = bench::report("scan: message files opened by the search", double(filesOpened), "", "==", 0) && ok;
    return ok ? 0 : 1;
}
