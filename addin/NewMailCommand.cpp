#include "addin/NewMailCommand.h"

#include <QProcess>
#include <QStringList>

namespace lumora {

namespace {

// Far below what one environment string may hold (128 KiB on Linux), so an endless subject
// cannot make the start fail.
constexpr qsizetype MaxValueLength = 4096;

bool isBidiControl(char16_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

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

// Kept in this one function so that the add-in's common cleaning of mail text can take its
// place without touching the callers.
QString NewMailCommand::clean(const QString &text)
{
    QString out;
    out.reserve(qMin(text.size(), MaxValueLength));
    for (qsizetype i = 0; i < text.size() && out.size() < MaxValueLength; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029) {
            out += QLatin1Char(' ');
            continue;
        }
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || isBidiControl(c))
            continue;
        if (QChar::isHighSurrogate(c)) {
            // A pair is kept whole or not at all; a lone half is dropped.
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate() && out.size() + 2 <= MaxValueLength) {
                out += text.at(i);
                out += text.at(++i);
            }
            continue;
        }
        if (QChar::isLowSurrogate(c))
            continue;
        out += QChar(c);
    }
    return out;
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
        fail(QStringLiteral("the new-mail command %1 still runs from the mail before, so it was not started again")
                 .arg(m_program));
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
        fail(QStringLiteral("the new-mail command %1 cannot be started: %2").arg(program, process->errorString()));
    });
    connect(process, &QProcess::finished, this, [this, process, program](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::CrashExit)
            fail(QStringLiteral("the new-mail command %1 ended abnormally").arg(program));
        else if (exitCode != 0)
            fail(QStringLiteral("the new-mail command %1 ended with exit status %2").arg(program).arg(exitCode));
        else
            succeed();
    });
    process->start();
}

} // namespace lumora
