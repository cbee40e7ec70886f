#include "tests/app/LumoraProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <csignal>

namespace lumora::test {

LumoraProcess::LumoraProcess(const QStringList &arguments, const QStringList &extraEnvironment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("MAILDIR"));
    for (const QString &entry : extraEnvironment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readAvailable(); });
    m_process.start(QStringLiteral(LUMORA_BINARY), arguments);
    m_process.waitForStarted(10000);
}

LumoraProcess::~LumoraProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void LumoraProcess::readAvailable()
{
    m_pending += m_process.readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_pending.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_pending.left(nl));
        m_pending.remove(0, nl + 1);
    }
}

qsizetype LumoraProcess::waitForLine(const QRegularExpression &pattern, int timeoutMs, qsizetype from)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        for (qsizetype i = from; i < m_lines.size(); ++i) {
            if (pattern.match(m_lines.at(i)).hasMatch())
                return i;
        }
        if (timer.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
            return -1;
        m_process.waitForReadyRead(100);
        readAvailable();
    }
}

int LumoraProcess::terminate(int timeoutMs)
{
    // A pid of 0 would signal our own process group: only a running child is signalled.
    const qint64 pid = m_process.processId();
    if (m_process.state() == QProcess::Running && pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    return waitForExit(timeoutMs);
}

int LumoraProcess::waitForExit(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
        return -1;
    readAvailable();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QStringList LumoraProcess::linesMatching(const QRegularExpression &pattern) const
{
    QStringList out;
    for (const QString &line : m_lines) {
        if (pattern.match(line).hasMatch())
            out << line;
    }
    return out;
}

bool deliverWithAgent(const QString &root, const QByteArray &message)
{
    const QString agent = QStandardPaths::findExecutable(QStringLiteral("deliverquota"),
                                                         {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (agent.isEmpty())
        return false;
    QProcess process;
    process.start(agent, {root});
    process.write(message);
    process.closeWriteChannel();
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace lumora::test
