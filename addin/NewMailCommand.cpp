#include "addin/NewMailCommand.h"

#include "platform/core/MailText.h"

#include <QProcess>
#include <QStringList>

namespace lumora {

namespace {

// Far below what one environment string may hold (128 KiB on Linux), so an endless subject
// cannot make the start fail.
constexpr int MaxValueLength = 4096;

} // namespace

NewMailCommand::NewMailCommand(QObject *parent)
    : QObject(parent)
{
}

NewMailCommand::~NewMailCommand()
{
    // The process is ended with its owner; its last signals must not reach a half-gone object.
    if (m_process)
        m_process->disconnect(this);
}

bool NewMailCommand::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

// Mail text in the environment gets the cleaning of every other surface, so a script that
// echoes it to a terminal or a notification shows no escapes or reordered text.
QString NewMailCommand::clean(const QString &text)
{
    return MailText::clean(text, MaxValueLength);
}

QProcessEnvironment NewMailCommand::environment(const Mail &mail, const QProcessEnvironment &base)
{
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("LUMORA_FOLDER"), clean(mail.folder));
    env.insert(QStringLiteral("LUMORA_SENDER"), clean(mail.sender));
    env.insert(QStringLiteral("LUMORA_SUBJECT"), clean(mail.subject));
    env.insert(QStringLiteral("LUMORA_COUNT"), QString::number(mail.count));
    return env;
}

void NewMailCommand::forgetFailure()
{
    if (!m_failing)
        return;
    m_failing = false;
    Q_EMIT recovered();
}

void NewMailCommand::fail(const QString &why)
{
    if (!m_failing) {
        m_failing = true;
        Q_EMIT failed(why);
    }
    Q_EMIT finished(false);
}

void NewMailCommand::succeed()
{
    forgetFailure();
    Q_EMIT finished(true);
}

void NewMailCommand::run(const QString &commandLine, const Mail &mail)
{
    if (commandLine != m_commandLine) {
        // A new command has not failed yet; the old one's complaint no longer applies.
        m_commandLine = commandLine;
        forgetFailure();
    }
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return;
    m_program = arguments.takeFirst();
    if (isRunning()) {
        fail(tr("the new-mail command %1 still runs from the mail before, so it was not started again").arg(m_program));
        return;
    }

    auto *process = new QProcess(this);
    m_process = process;
    process->setProgram(m_program);
    process->setArguments(arguments);
    process->setProcessEnvironment(environment(mail, QProcessEnvironment::systemEnvironment()));
    // Nothing to read from us; what it says on standard error is the user's to see.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString program = m_program;
    connect(process, &QProcess::errorOccurred, this, [this, process, program](QProcess::ProcessError error) {
        // Every other error also ends in finished, which tells it.
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        fail(tr("the new-mail command %1 cannot be started: %2").arg(program, process->errorString()));
    });
    connect(process, &QProcess::finished, this, [this, process, program](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::CrashExit)
            fail(tr("the new-mail command %1 ended abnormally").arg(program));
        else if (exitCode != 0)
            fail(tr("the new-mail command %1 ended with exit status %2").arg(program).arg(exitCode));
        else
            succeed();
    });
    process->start();
}

} // namespace lumora
