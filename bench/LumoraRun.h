#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace lumora::bench {

// The real lumora executable (beside the benchmark) in a private home with a Maildir, run
// headless with its --verbose trace read line by line.
class LumoraRun
{
public:
    LumoraRun();
    ~LumoraRun();

    QString home() const { return m_home.path(); }
    QString maildir() const { return m_home.path() + QStringLiteral("/Maildir"); }
    QString dataFolder() const;

    // Stored settings under the add-in's key, as .reg value lines ("\"Name\"=\"value\"").
    bool writeSettings(const QByteArray &valueLines);
    bool writeIni(const QByteArray &content);

    // Starts lumora --verbose, optionally under a wrapper program (wrapper args come first).
    // arguments follow --verbose; input is written to its standard input.
    bool start(const QString &wrapper = {}, const QStringList &wrapperArgs = {}, const QStringList &arguments = {},
               const QByteArray &input = {});
    // Waits for a trace line starting with prefix: ms on clock when seen, or -1.
    double waitFor(const QByteArray &prefix, const QElapsedTimer &clock, int timeoutMs);
    double waitFor(const QByteArray &prefix, int timeoutMs);
    qint64 pid() const { return m_process.processId(); }
    // Sends SIGTERM and waits; the exit code, or -1.
    int stop();
    // Asks it to quit through `lumora --quit` (works under a wrapper too) and waits.
    int quit();

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QByteArray m_pending;
};

} // namespace lumora::bench
