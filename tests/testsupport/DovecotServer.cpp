#include "tests/testsupport/DovecotServer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::test {

namespace {

const char *const Dovecot = "/usr/sbin/dovecot";
const char *const DovecotPop3 = "/usr/lib/dovecot/pop3";

quint16 freePort()
{
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

QString userName(uid_t uid)
{
    const passwd *pw = getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid)
{
    const group *gr = getgrgid(gid);
    return gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(gid);
}

// The processes whose parent is pid, from /proc.
QList<pid_t> childrenOf(pid_t pid)
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
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toInt() == pid)
            out.append(candidate);
    }
    return out;
}

} // namespace

QString DovecotServer::unavailableReason()
{
    if (!QFileInfo(QString::fromLatin1(Dovecot)).isExecutable())
        return QStringLiteral("dovecot is not installed (Debian package dovecot-imapd)");
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        return QStringLiteral("openssl is not installed");
    return {};
}

QString DovecotServer::pop3UnavailableReason()
{
    const QString reason = unavailableReason();
    if (!reason.isEmpty())
        return reason;
    if (!QFileInfo(QString::fromLatin1(DovecotPop3)).isExecutable())
        return QStringLiteral("dovecot's POP3 server is not installed (Debian package dovecot-pop3d)");
    return {};
}

DovecotServer::DovecotServer(int maxSessionsPerUser, const QString &extraConfig)
    // Under /tmp, as the mail user may not be the one running the test.
    : m_dir(QStringLiteral("/tmp/lumora-dovecot-XXXXXX"))
    , m_maxSessions(maxSessionsPerUser)
    , m_extraConfig(extraConfig)
{
}

DovecotServer::~DovecotServer()
{
    stop();
}

QString DovecotServer::log() const
{
    QFile f(m_dir.path() + QStringLiteral("/dovecot.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool DovecotServer::prepare()
{
    const QString dir = m_dir.path();
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"),
                   dir + QStringLiteral("/key.pem"), QStringLiteral("-out"), dir + QStringLiteral("/cert.pem")});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        m_error = QStringLiteral("openssl could not make a certificate: ")
            + QString::fromUtf8(openssl.readAllStandardError());
        return false;
    }
    QFile certFile(dir + QStringLiteral("/cert.pem"));
    certFile.open(QIODevice::ReadOnly);
    const QSslCertificate cert(certFile.readAll());
    m_fingerprint = QString::fromLatin1(cert.digest(QCryptographicHash::Sha256).toHex().toUpper());

    QString user = userName(getuid());
    QString group = groupName(getgid());
    QString login = user;
    QString internal = user;
    const QString home = dir + QStringLiteral("/home");
    QDir().mkpath(home);
    QDir().mkpath(dir + QStringLiteral("/run"));
    QDir().mkpath(dir + QStringLiteral("/state"));
    if (getuid() == 0) {
        // Dovecot serves no mail as root: the mail belongs to nobody, the login and internal
        // processes run as the users the Debian package made.
        const passwd *nobody = getpwnam("nobody");
        if (!nobody) {
            m_error = QStringLiteral("no user \"nobody\" to own the test mail");
            return false;
        }
        user = QStringLiteral("nobody");
        group = groupName(nobody->pw_gid);
        login = QStringLiteral("dovenull");
        internal = QStringLiteral("dovecot");
        if (chown(QFile::encodeName(home).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            m_error = QStringLiteral("cannot hand the mail folder to nobody");
            return false;
        }
        QFile::setPermissions(dir,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                  | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                  | QFileDevice::ExeOther);
    }
    m_imapsPort = freePort();
    m_imapPort = freePort();
    const bool pop3 = pop3UnavailableReason().isEmpty();
    QString pop3Config;
    if (pop3) {
        m_pop3sPort = freePort();
        m_pop3Port = freePort();
        pop3Config = QStringLiteral(R"(protocols = $protocols pop3
service pop3-login {
  chroot =
  inet_listener pop3 {
    address = 127.0.0.1
    port = %1
  }
  inet_listener pop3s {
    address = 127.0.0.1
    port = %2
  }
}
)")
                         .arg(m_pop3Port)
                         .arg(m_pop3sPort);
    }
    const QString conf = QStringLiteral(R"(protocols = imap
listen = 127.0.0.1
first_valid_uid = 0
base_dir = %1/run
state_dir = %1/state
log_path = %1/dovecot.log
ssl = yes
ssl_cert = <%1/cert.pem
ssl_key = <%1/key.pem
disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
default_internal_user = %2
default_login_user = %3
mail_location = maildir:%1/home/%n/Maildir
namespace inbox {
  inbox = yes
  mailbox Trash {
    special_use = \Trash
    auto = create
  }
}
passdb {
  driver = static
  args = password=secret
}
userdb {
  driver = static
  args = uid=%4 gid=%5 home=%1/home/%n
}
protocol imap {
  mail_max_userip_connections = %6
}
service imap-login {
  chroot =
  inet_listener imap {
    address = 127.0.0.1
    port = %7
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = %8
  }
}
service anvil {
  chroot =
}
)")
                             .arg(dir, internal, login, user, group)
                             .arg(m_maxSessions)
                             .arg(m_imapPort)
                             .arg(m_imapsPort)
        + pop3Config + m_extraConfig + QLatin1Char('\n');
    QFile file(dir + QStringLiteral("/dovecot.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(conf.toUtf8()) < 0) {
        m_error = QStringLiteral("cannot write the configuration");
        return false;
    }
    return true;
}

bool DovecotServer::start()
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QString::fromLatin1(Dovecot),
                    {QStringLiteral("-F"), QStringLiteral("-c"), m_dir.path() + QStringLiteral("/dovecot.conf")});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("dovecot did not start: ") + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_imapsPort);
        if (probe.waitForConnected(200))
            return true;
        if (m_process.state() != QProcess::Running)
            break;
        QThread::msleep(20);
    }
    m_error = QStringLiteral("dovecot is not listening: ") + QString::fromUtf8(m_process.readAll()) + log();
    stop();
    return false;
}

bool DovecotServer::deliver(const QString &user, const QByteArray &message)
{
    // As a delivery agent writes it: into tmp/, then renamed into new/.
    const QString maildir = m_dir.path() + QStringLiteral("/home/%1/Maildir").arg(user);
    static int serial = 0;
    const QString name =
        QStringLiteral("%1.M%2P%3.lumora-test").arg(QDateTime::currentSecsSinceEpoch()).arg(++serial).arg(getpid());
    const QString tmp = maildir + QStringLiteral("/tmp/") + name;
    QFile file(tmp);
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size()) {
        m_error = QStringLiteral("cannot write %1 (has the user logged in once?)").arg(tmp);
        return false;
    }
    file.close();
    struct stat st;
    if (::stat(QFile::encodeName(maildir).constData(), &st) == 0
        && chown(QFile::encodeName(tmp).constData(), st.st_uid, st.st_gid) != 0) {
        m_error = QStringLiteral("cannot hand %1 to the mail user").arg(tmp);
        return false;
    }
    return QFile::rename(tmp, maildir + QStringLiteral("/new/") + name);
}

void DovecotServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // The master leaves its login and mail processes to finish their sessions; a server
    // going down takes them along, so they are ended too (each by its id).
    const QList<pid_t> children = childrenOf(pid_t(m_process.processId()));
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    for (pid_t child : children)
        ::kill(child, SIGKILL);
}

} // namespace lumora::test
