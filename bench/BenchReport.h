#pragma once

#include <QByteArray>
#include <QString>

// What the benchmarks share: their verdict lines, figures from /proc, and Maildir trees.
namespace lumora::bench {

// Prints "result: <figure> = <value> <unit> (target <op> <target>) PASS|FAIL", the line
// tools/run-benchmarks gathers into its table; true when the target is met. op is "<=",
// "<" or "==".
bool report(const char *figure, double value, const char *unit, const char *op, double target);
// A figure shown in the table without a target of its own.
void note(const char *figure, double value, const char *unit);

struct ProcStats
{
    qint64 contextSwitches = -1; // voluntary and involuntary, summed over the threads
    qint64 cpuTicks = -1; // user and system time, in clock ticks
    qint64 cpuNs = -1; // time on a CPU from schedstat (summed over the threads), or -1
    qint64 rssKb = -1;
    int threads = 0;
};
ProcStats procStats(qint64 pid);

// Main-thread CPU time of this process in ns.
qint64 threadCpuNs();

// A Maildir folder (cur, new, tmp) holding total messages in cur/, unread of them without
// the S flag; reused when a previous run left it complete.
bool buildFolder(const QString &path, int total, int unread);
// Delivers as an agent does: written in tmp/, then renamed into new/.
bool deliver(const QString &folderPath, const QString &uniqueName, const QByteArray &content);

} // namespace lumora::bench
