#include "bench/LumoraRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace lumora::bench {

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

} // namespace

LumoraRun::LumoraRun()
{
    for (const char *sub : {"cur", "new", "tmp"})
        QDir().mkpath(maildir() + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

LumoraRun::~LumoraRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString LumoraRun::dataFolder() const
{
    return home() + QStringLiteral("/.local/share/Corvane Software/Lumora");
}

bool LumoraRun::writeSettings(const QByteArray &valueLines)
{
    return writeFile(home() + QStringLiteral("/.config/lumora/registry/user.reg"),
                     "Windows Registry Editor Version 5.00\n\n"
                     "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora]\n"
                         + valueLines);
}

bool LumoraRun::writeIni(const QByteArray &content)
{
    return writeFile(dataFolder() + QStringLiteral("/Lumora.ini"), content);
}

bool LumoraRun::start(const QString &wrapper, const QStringList &wrapperArgs, const QStringList &arguments,
                      const QByteArray &input)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("MAILDIR"));
    env.remove(QStringLiteral("DISPLAY"));
    m_process.setProcessEnvironment(env);
    const QString lumora = QCoreApplication::applicationDirPath() + QStringLiteral("/lumora");
    const QStringList own = QStringList{QStringLiteral("--verbose")} + arguments;
    if (wrapper.isEmpty())
        m_process.start(lumora, own);
    else
        m_process.start(wrapper, wrapperArgs + QStringList{lumora} + own);
    if (!m_process.waitForStarted(10000))
        return false;
    if (!input.isEmpty())
        m_process.write(input);
    return true;
}

double LumoraRun::waitFor(const QByteArray &prefix, const QElapsedTimer &clock, int timeoutMs)
{
    QElapsedTimer limit;
    limit.start();
    while (limit.elapsed() < timeoutMs) {
        qsizetype nl;
        while ((nl = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(nl);
            m_pending.remove(0, nl + 1);
            if (line.startsWith(prefix))
                return double(clock.nsecsElapsed()) / 1e6;
        }
        if (m_process.state() == QProcess::NotRunning)
            return -1;
        m_process.waitForReadyRead(5);
        m_pending += m_process.readAllStandardError();
    }
    return -1;
}

double LumoraRun::waitFor(const QByteArray &prefix, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    return waitFor(prefix, clock, timeoutMs);
}

int LumoraRun::quit()
{
    QProcess command;
    command.setProcessEnvironment(m_process.processEnvironment());
    command.start(QCoreApplication::applicationDirPath() + QStringLiteral("/lumora"), {QStringLiteral("--quit")});
    command.waitForFinished(10000);
    if (!m_process.waitForFinished(10000))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int LumoraRun::stop()
{
    const qint64 id = pid();
    if (m_process.state() == QProcess::Running && id > 0)
        ::kill(pid_t(id), SIGTERM);
    if (!m_process.waitForFinished(10000))
        return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

} // namespace lumora::bench
