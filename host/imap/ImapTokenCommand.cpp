#include "host/imap/ImapTokenCommand.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>

namespace lumora {

ImapTokenCommand::ImapTokenCommand(const QString &commandLine)
    : m_commandLine(commandLine)
{
}

QString ImapTokenCommand::describe() const
{
    return QCoreApplication::translate("ImapTokenCommand", "the token command \"%1\"").arg(m_commandLine);
}

QDateTime ImapTokenCommand::jwtExpiry(const QByteArray &token)
{
    const QList<QByteArray> parts = token.split('.');
    if (parts.size() != 3)
        return {};
    const auto payload = QByteArray::fromBase64Encoding(
        parts.at(1), QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!payload)
        return {};
    const QJsonValue exp = QJsonDocument::fromJson(*payload).object().value(QLatin1String("exp"));
    if (!exp.isDouble() || exp.toDouble() <= 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(qint64(exp.toDouble()));
}

ImapTokenSource::Token ImapTokenCommand::fetch(bool fresh)
{
    Token result;
    QStringList words = QProcess::splitCommand(m_commandLine);
    if (words.isEmpty()) {
        result.problem = QCoreApplication::translate("ImapTokenCommand", "The token command is empty.");
        return result;
    }
    const QString program = words.takeFirst();
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (fresh)
        environment.insert(QStringLiteral("LUMORA_TOKEN_REFRESH"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(program, words);
    if (!process.waitForStarted(TimeoutMs)) {
        result.problem =
            QCoreApplication::translate("ImapTokenCommand", "The token command \"%1\" could not be started: %2")
                .arg(program, process.errorString());
        return result;
    }
    QByteArray output;
    QByteArray errors;
    int waitedMs = 0;
    // Read while it runs, so a program that writes much never blocks on a full pipe.
    while (!process.waitForFinished(100)) {
        if (process.state() != QProcess::Running)
            break;
        output += process.readAllStandardOutput();
        errors += process.readAllStandardError();
        if (output.size() > MaxOutputBytes || errors.size() > MaxOutputBytes)
            break;
        if ((waitedMs += 100) >= TimeoutMs)
            break;
    }
    const bool finished = process.state() == QProcess::NotRunning;
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    output += process.readAllStandardOutput();
    errors += process.readAllStandardError();
    const QString said = QString::fromUtf8(errors.left(400)).trimmed().section(QLatin1Char('\n'), 0, 0);
    if (!finished) {
        result.problem = QCoreApplication::translate("ImapTokenCommand",
                                                     "The token command \"%1\" gave no answer within %2 seconds.")
                             .arg(program)
                             .arg(TimeoutMs / 1000);
        return result;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.problem =
            QCoreApplication::translate("ImapTokenCommand", "The token command \"%1\" failed (exit status %2): %3")
                .arg(program)
                .arg(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1)
                .arg(said.isEmpty() ? QCoreApplication::translate("ImapTokenCommand", "no message") : said);
        return result;
    }
    QByteArray token = output.left(MaxOutputBytes);
    const qsizetype end = token.indexOf('\n');
    if (end >= 0)
        token.truncate(end);
    token = token.trimmed();
    // A token travels inside a SASL message: anything but printable ASCII would corrupt it.
    const bool printable = std::all_of(token.cbegin(), token.cend(), [](char c) { return c > 0x20 && c < 0x7f; });
    if (token.isEmpty() || !printable) {
        result.problem = QCoreApplication::translate(
                             "ImapTokenCommand", "The token command \"%1\" printed no usable token on its first line.")
                             .arg(program);
        return result;
    }
    result.value = QString::fromLatin1(token);
    result.expires = jwtExpiry(token);
    return result;
}

} // namespace lumora
