// Delivers 10 000 messages into a watched store in bursts and prints the peak RSS, which
// must stay flat: the index holds names and times, never message contents.
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace lumora;

namespace {

long long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void runEventsFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    for (const char *sub : {"cur", "new", "tmp"})
        QDir().mkpath(dir.path() + QLatin1Char('/') + QLatin1String(sub));
    MaildirApplication host({dir.path()});
    int signals_ = 0;
    QObject::connect(&host, &host::Application::NewMail, [&signals_] { ++signals_; });

    const QByteArray body = "From: Burst <burst@example.org>\nSubject: burst\n\n" + QByteArray(2000, 'x') + "\n";
    const int bursts = 20;
    const int perBurst = 500;
    long long afterFirst = 0;
    for (int b = 0; b < bursts; ++b) {
        for (int i = 0; i < perBurst; ++i) {
            const QString name = QStringLiteral("%1.M%2P1.burst").arg(1700000000 + b).arg(i);
            // Deliver as agents do: write in tmp/, then rename into new/.
            QFile f(dir.path() + QStringLiteral("/tmp/") + name);
            if (f.open(QIODevice::WriteOnly))
                f.write(body);
            f.close();
            QFile::rename(f.fileName(), dir.path() + QStringLiteral("/new/") + name);
        }
        runEventsFor(MaildirWatcher::QuietMs + 200);
        if (b == 0)
            afterFirst = statusKb("VmHWM:");
    }
    std::printf("deliveries: %d in %d bursts, NewMail signals: %d\n", bursts * perBurst, bursts, signals_);
    std::printf("peak RSS after first burst: %lld kB, after all: %lld kB, current: %lld kB\n", afterFirst,
                statusKb("VmHWM:"), statusKb("VmRSS:"));
    return 0;
}
