#include "tests/testsupport/ImapTestServer.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>

#include <unistd.h>

namespace lumora::test {

QString ImapTestServer::unpackedRoot()
{
    // The same choice as scripts/install-deps makes.
    QString base = qEnvironmentVariable("LUMORA_TEST_SERVERS");
    if (base.isEmpty()) {
        if (getuid() == 0)
            base = QStringLiteral("/var/cache/lumora-test-servers");
        else {
            const QString cache = qEnvironmentVariable("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache"));
            base = cache + QStringLiteral("/lumora-test-servers");
        }
    }
    return base + QStringLiteral("/root");
}

quint16 ImapTestServer::freePort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

bool ImapTestServer::makeCertificate(const QString &dir, QString *fingerprint, QString *error)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"),
                   dir + QStringLiteral("/key.pem"), QStringLiteral("-out"), dir + QStringLiteral("/cert.pem")});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        *error = QStringLiteral("openssl could not make a certificate: ")
            + QString::fromUtf8(openssl.readAllStandardError());
        return false;
    }
    QFile certFile(dir + QStringLiteral("/cert.pem"));
    if (!certFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("openssl wrote no certificate");
        return false;
    }
    const QSslCertificate cert(certFile.readAll());
    *fingerprint = QString::fromLatin1(cert.digest(QCryptographicHash::Sha256).toHex().toUpper());
    return true;
}

bool ImapTestServer::waitForListening(const QProcess &process, quint16 port, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200))
            return true;
        if (process.state() != QProcess::Running)
            return false;
        QThread::msleep(20);
    }
    return false;
}

QList<pid_t> ImapTestServer::processesWhere(const std::function<bool(const QList<QByteArray> &)> &match)
{
    QList<pid_t> out;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool numeric = false;
        const pid_t candidate = pid_t(entry.toInt(&numeric));
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // The name in parentheses may hold spaces and parentheses of its own.
        const qsizetype nameEnd = text.lastIndexOf(')');
        if (nameEnd >= 0 && match(text.mid(nameEnd + 2).split(' ')))
            out.append(candidate);
    }
    return out;
}

QList<pid_t> ImapTestServer::childrenOf(pid_t pid)
{
    return processesWhere(
        [pid](const QList<QByteArray> &fields) { return fields.size() > 1 && fields.at(1).toInt() == pid; });
}

void ImapTestServer::stopTree(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    const QList<pid_t> children = childrenOf(pid_t(process.processId()));
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    for (pid_t child : children)
        ::kill(child, SIGKILL);
}

} // namespace lumora::test
