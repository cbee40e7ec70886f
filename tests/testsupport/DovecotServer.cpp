#include "tests/testsupport/DovecotServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::test {

namespace {

const char *const Dovecot = "/usr/sbin/dovecot";
const char *const DovecotPop3 = "/usr/lib/dovecot/pop3";

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
    if (!makeCertificate(dir, &m_fingerprint, &m_error))
        return false;

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
    QString oauth2Passdb;
    QString mechanisms = QStringLiteral("plain login");
    if (!m_oauth2Key.isEmpty()) {
        // Local validation looks the key up as <azp>/<algorithm>/<key id>, "default" for both
        // when the token names neither.
        const QString keys = dir + QStringLiteral("/oauth2-keys/default/HS256");
        QFile key(keys + QStringLiteral("/default"));
        QFile settings(dir + QStringLiteral("/oauth2.conf.ext"));
        if (!QDir().mkpath(keys) || !key.open(QIODevice::WriteOnly) || key.write(m_oauth2Key.toBase64()) < 0
            || !settings.open(QIODevice::WriteOnly)
            || settings.write(QStringLiteral("introspection_mode = local\n"
                                             "local_validation_key_dict = fs:posix:prefix=%1/oauth2-keys/\n"
                                             "username_attribute = sub\n")
                                  .arg(dir)
                                  .toUtf8())
                < 0) {
            m_error = QStringLiteral("cannot write the OAuth2 settings");
            return false;
        }
        mechanisms += QLatin1Char(' ') + m_oauth2Mechanisms;
        oauth2Passdb = QStringLiteral(R"(passdb {
  driver = oauth2
  mechanisms = %1
  args = %2/oauth2.conf.ext
}
)")
                           .arg(m_oauth2Mechanisms, dir);
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
auth_mechanisms = %9
auth_failure_delay = 0
# A refused login is not slowed down further for the same address.
login_trusted_networks = 127.0.0.0/8
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
%10passdb {
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
                             .arg(mechanisms, oauth2Passdb)
        + pop3Config + m_extraConfig + QLatin1Char('\n');
    QFile file(dir + QStringLiteral("/dovecot.conf"));
    if (!file.open(QIODevice::WriteOnly) || file.write(conf.toUtf8()) < 0) {
        m_error = QStringLiteral("cannot write the configuration");
        return false;
    }
    return true;
}

void DovecotServer::enableOAuth2(const QByteArray &key, const QString &mechanisms)
{
    m_oauth2Key = key;
    m_oauth2Mechanisms = mechanisms;
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
    if (waitForListening(m_process, m_imapsPort))
        return true;
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
    // The master leaves its login and mail processes to finish their sessions; they go too.
    stopTree(m_process);
}

} // namespace lumora::test
