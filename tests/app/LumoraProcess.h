#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace lumora::test {

// A real `lumora` started by a test, in the test's private home, with its --verbose
// trace collected line by line.
class LumoraProcess
{
public:
    // extraEnvironment: "NAME=value" entries added to the test's environment.
    explicit LumoraProcess(const QStringList &arguments, const QStringList &extraEnvironment = {});
    ~LumoraProcess();

    // Waits until a trace line matches (counting from line `from`); its index or -1.
    qsizetype waitForLine(const QRegularExpression &pattern, int timeoutMs, qsizetype from = 0);
    // Sends SIGTERM and waits for the exit; the exit code, or -1 on a crash or time-out.
    int terminate(int timeoutMs = 10000);
    // Waits for the process to end by itself; the exit code, or -1.
    int waitForExit(int timeoutMs = 10000);

    QStringList lines() const { return m_lines; }
    QStringList linesMatching(const QRegularExpression &pattern) const;

private:
    void readAvailable();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
};

// Delivers a message into the Maildir at root with the real delivery agent.
bool deliverWithAgent(const QString &root, const QByteArray &message);

} // namespace lumora::test
