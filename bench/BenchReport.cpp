#include "bench/BenchReport.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>

#include <time.h>

namespace lumora::bench {

namespace {

QByteArray readProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 statusField(const QByteArray &status, const char *key)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

bool report(const char *figure, double value, const char *unit, const char *op, double target)
{
    bool pass = false;
    if (std::strcmp(op, "<=") == 0)
        pass = value <= target;
    else if (std::strcmp(op, "<") == 0)
        pass = value < target;
    else if (std::strcmp(op, "==") == 0)
        pass = value == target;
    std::printf("result: %s = %.6g %s (target %s %.6g) %s\n", figure, value, unit, op, target, pass ? "PASS" : "FAIL");
    std::fflush(stdout);
    return pass;
}

void note(const char *figure, double value, const char *unit)
{
    std::printf("result: %s = %.6g %s (no target) INFO\n", figure, value, unit);
    std::fflush(stdout);
}

ProcStats procStats(qint64 pid)
{
    ProcStats s;
    const QString base = QStringLiteral("/proc/%1").arg(pid);
    const QByteArray stat = readProc(base + QStringLiteral("/stat"));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return s;
    // Fields after the command: state is index 0, utime 11, stime 12.
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() > 12)
        s.cpuTicks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    s.rssKb = statusField(readProc(base + QStringLiteral("/status")), "VmRSS:");
    s.contextSwitches = 0;
    s.cpuNs = 0;
    const QStringList tasks = QDir(base + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const QString dir = base + QStringLiteral("/task/") + task;
        const QByteArray status = readProc(dir + QStringLiteral("/status"));
        s.contextSwitches +=
            statusField(status, "voluntary_ctxt_switches:") + statusField(status, "nonvoluntary_ctxt_switches:");
        const QByteArray schedstat = readProc(dir + QStringLiteral("/schedstat"));
        if (schedstat.isEmpty())
            s.cpuNs = -1;
        else if (s.cpuNs >= 0)
            s.cpuNs += schedstat.split(' ').first().toLongLong();
        ++s.threads;
    }
    return s;
}

qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

bool buildFolder(const QString &path, int total, int unread)
{
    const QString marker = path + QStringLiteral("/.complete-%1-%2").arg(total).arg(unread);
    if (QFile::exists(marker))
        return true;
    QDir(path).removeRecursively();
    for (const char *sub : {"cur", "new", "tmp"}) {
        if (!QDir().mkpath(path + QLatin1Char('/') + QLatin1String(sub)))
            return false;
    }
    const QByteArray body = "From: Bench <bench@example.org>\nSubject: message\n\nbody\n";
    const int every = unread > 0 ? total / unread : total + 1;
    for (int i = 0; i < total; ++i) {
        const bool isUnread = unread > 0 && i % every == 0;
        const QString name = QStringLiteral("%1.M%2P%3.bench.example.org:2,%4")
                                 .arg(1700000000 + i)
                                 .arg(i % 1000000)
                                 .arg(4000 + i % 97)
                                 .arg(isUnread ? "" : "S");
        QFile f(path + QStringLiteral("/cur/") + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(body) != body.size())
            return false;
    }
    QFile done(marker);
    return done.open(QIODevice::WriteOnly);
}

bool deliver(const QString &folderPath, const QString &uniqueName, const QByteArray &content)
{
    const QString tmp = folderPath + QStringLiteral("/tmp/") + uniqueName;
    QFile f(tmp);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return false;
    f.close();
    return QFile::rename(tmp, folderPath + QStringLiteral("/new/") + uniqueName);
}

} // namespace lumora::bench
