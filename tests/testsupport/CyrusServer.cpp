#include "tests/testsupport/CyrusServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace lumora::test {

namespace {

QString cyrusBin(const QString &program)
{
    return ImapTestServer::unpackedRoot() + QStringLiteral("/usr/lib/cyrus/bin/") + program;
}

} // namespace

QString CyrusServer::unavailableReason()
{
    if (!QFileInfo(cyrusBin(QStringLiteral("master"))).isExecutable())
        return QStringLiteral("Cyrus is not unpacked in %1 (run scripts/install-deps)").arg(unpackedRoot());
    if (!QFileInfo(unpackedRoot() + QStringLiteral("/usr/sbin/saslpasswd2")).isExecutable())
        return QStringLiteral("saslpasswd2 is not unpacked in %1 (run scripts/install-deps)").arg(unpackedRoot());
    if (getuid() == 0 && !getpwnam("nobody"))
        return QStringLiteral("no user \"nobody\" to run Cyrus as");
    return {};
}

CyrusServer::CyrusServer()
    // Under /tmp, as the server may run as another user than the test.
    : m_dir(QStringLiteral("/tmp/lumora-cyrus-XXXXXX"))
{
}

CyrusServer::~CyrusServer()
{
    stop();
}

bool CyrusServer::prepare()
{
    const QString dir = m_dir.path();
    const passwd *user = getuid() == 0 ? getpwnam("nobody") : getpwuid(getuid());
    if (!user) {
        m_error = QStringLiteral("no user to run Cyrus as");
        return false;
    }
    const group *grp = getgrgid(user->pw_gid);
    // config/socket takes each session's end of the link to idled; without it IDLE polls
    // once a minute.
    const QStringList folders = {
        QStringLiteral("config"),   QStringLiteral("config/socket"), QStringLiteral("spool"),     QStringLiteral("run"),
        QStringLiteral("run/proc"), QStringLiteral("run/lock"),      QStringLiteral("run/socket")};
    for (const QString &folder : folders) {
        const QString path = dir + QLatin1Char('/') + folder;
        if (!QDir().mkpath(path) || chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0) {
            m_error = QStringLiteral("cannot make %1 for the Cyrus user").arg(path);
            return false;
        }
    }
    if (chown(QFile::encodeName(dir).constData(), user->pw_uid, user->pw_gid) != 0) {
        m_error = QStringLiteral("cannot hand %1 to the Cyrus user").arg(dir);
        return false;
    }
    m_uid = user->pw_uid;
    m_gid = user->pw_gid;
    m_port = freePort();
    const QString imapdConf = QStringLiteral(R"(configdirectory: %1/config
defaultpartition: default
partition-default: %1/spool
proc_path: %1/run/proc
mboxname_lockpath: %1/run/lock
idlesocket: %1/run/socket/idle
lmtpsocket: %1/run/socket/lmtp
notifysocket: %1/run/socket/notify
cyrus_user: %2
cyrus_group: %3
admins: cyrus
altnamespace: yes
unixhierarchysep: yes
virtdomains: off
allowplaintext: yes
sasl_pwcheck_method: auxprop
sasl_auxprop_plugin: sasldb
sasl_sasldb_path: %1/sasldb2
servername: lumora-test
sasl_mech_list: PLAIN LOGIN
autocreate_quota: 0
syslog_prefix: lumora-test-cyrus
)")
                                  .arg(dir, QString::fromLocal8Bit(user->pw_name),
                                       grp ? QString::fromLocal8Bit(grp->gr_name) : QString::number(user->pw_gid));
    // idled wakes the sessions in IDLE the moment a mailbox changes.
    const QString cyrusConf = QStringLiteral(R"(START {
  recover cmd="%2 -C %1/imapd.conf -r"
}
SERVICES {
  imap cmd="%3 -C %1/imapd.conf" listen="127.0.0.1:%5" prefork=0
}
DAEMON {
  idled cmd="%4 -C %1/imapd.conf"
}
)")
                                  .arg(dir, cyrusBin(QStringLiteral("ctl_cyrusdb")), cyrusBin(QStringLiteral("imapd")),
                                       cyrusBin(QStringLiteral("idled")))
                                  .arg(m_port);
    for (const auto &[name, text] :
         {std::pair{QStringLiteral("imapd.conf"), imapdConf}, std::pair{QStringLiteral("cyrus.conf"), cyrusConf}}) {
        QFile file(dir + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0) {
            m_error = QStringLiteral("cannot write %1").arg(file.fileName());
            return false;
        }
    }
    return true;
}

bool CyrusServer::start()
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), unpackedRoot() + QStringLiteral("/usr/lib/x86_64-linux-gnu"));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    const QString dir = m_dir.path();
    // A session of its own: the server signals its whole process group when it stops, which
    // would otherwise reach every test server of the suite running as the same user.
    m_process.setChildProcessModifier([] { ::setsid(); });
    m_process.start(cyrusBin(QStringLiteral("master")),
                    {QStringLiteral("-C"), dir + QStringLiteral("/imapd.conf"), QStringLiteral("-M"),
                     dir + QStringLiteral("/cyrus.conf"), QStringLiteral("-p"), dir + QStringLiteral("/run/master.pid"),
                     QStringLiteral("-D")});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("Cyrus did not start: ") + m_process.errorString();
        return false;
    }
    if (waitForListening(m_process, m_port))
        return true;
    m_output += QString::fromUtf8(m_process.readAll());
    m_error = QStringLiteral("Cyrus is not listening on port %1: %2").arg(m_port).arg(m_output);
    stop();
    return false;
}

bool CyrusServer::addUser(const QString &user)
{
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    const QString db = m_dir.path() + QStringLiteral("/sasldb2");
    QProcess saslpasswd;
    saslpasswd.start(unpackedRoot() + QStringLiteral("/usr/sbin/saslpasswd2"),
                     {QStringLiteral("-f"), db, QStringLiteral("-u"), QStringLiteral("lumora-test"),
                      QStringLiteral("-c"), QStringLiteral("-p"), user});
    saslpasswd.write("secret");
    saslpasswd.closeWriteChannel();
    if (!saslpasswd.waitForFinished(10000) || saslpasswd.exitCode() != 0) {
        m_error = QStringLiteral("saslpasswd2 could not add %1: %2")
                      .arg(user, QString::fromUtf8(saslpasswd.readAllStandardError()));
        return false;
    }
    // The realm is the server name of the configuration, not this machine's, whose name may
    // be written differently. Cyrus reads the database as its own user.
    if (chown(QFile::encodeName(db).constData(), m_uid, m_gid) != 0) {
        m_error = QStringLiteral("cannot hand %1 to the Cyrus user").arg(db);
        return false;
    }
    return true;
}

void CyrusServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        stopTree(m_process);
        m_output += QString::fromUtf8(m_process.readAll());
    }
}

} // namespace lumora::test
