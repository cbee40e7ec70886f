// A first start of the real executable in an empty home, under strace: the fdatasync and
// fsync calls of every thread, and the saves of each settings file,
// from start to the add-in attached, then a quit.
//
// Usage: bench_FirstStartBench (needs strace)
#include "bench/BenchReport.h"
#include "bench/LumoraRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>

using namespace lumora;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty()) {
        std::fprintf(stderr, "strace is not installed\n");
        return 2;
    }
    bench::LumoraRun lumora;
    const QString log = lumora.home() + QStringLiteral("/strace.txt");
    const QStringList straceArgs{
        QStringLiteral("-f"), QStringLiteral("-qq"),
        QStringLiteral("-o"), log,
        QStringLiteral("-e"), QStringLiteral("trace=fsync,fdatasync,rename,renameat,renameat2,linkat")};
    if (!lumora.start(strace, straceArgs) || lumora.waitFor("lumora: attach: done", 30000) < 0) {
        std::fprintf(stderr, "lumora did not start under strace\n");
        return 2;
    }
    lumora.quit();

    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no strace output\n");
        return 2;
    }
    int syncs = 0;
    QMap<QString, int> saves;
    // A save ends in a rename onto the file, or (a file made anew) a link of the written
    // temporary file to its name.
    static const QRegularExpression renameTarget(QStringLiteral("(?:rename\\w*|linkat)\\(.*\"([^\"]+)\"[^\"]*\\) = 0"));
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.contains("fdatasync(") || line.contains("fsync("))
            syncs += !line.contains("= -1");
        const QRegularExpressionMatch m = renameTarget.match(QString::fromUtf8(line));
        if (m.hasMatch())
            saves[m.captured(1).section(QLatin1Char('/'), -1)] += 1;
    }
    int settingsSaves = 0;
    for (auto it = saves.cbegin(); it != saves.cend(); ++it) {
        std::printf("saves of %s: %d\n", qPrintable(it.key()), it.value());
        if (it.key().endsWith(QLatin1String(".reg")) || it.key().endsWith(QLatin1String(".ini")))
            settingsSaves += it.value();
    }
    // The logical writes of a first start: the host's registration (user.reg, machine.reg),
    // the add-in's default settings (user.reg), the template INI copied in and the first-run
    // watched folder written to it (Lumora.ini).
    bool ok = bench::report("first start: fdatasync and fsync calls", syncs, "", "<=", 10);
    ok = bench::report("first start: saves of user.reg", saves.value(QStringLiteral("user.reg")), "", "<=", 2) && ok;
    ok = bench::report("first start: saves of machine.reg", saves.value(QStringLiteral("machine.reg")), "", "<=", 1)
        && ok;
    ok =
        bench::report("first start: saves of Lumora.ini", saves.value(QStringLiteral("Lumora.ini")), "", "<=", 2) && ok;
    bench::note("first start: settings saves in all", settingsSaves, "");
    return ok ? 0 : 1;
}
