#include "tests/testsupport/CourierServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace lumora::test {

namespace {

// As Courier's packaged configuration has them, but for IDLE woken by file notification
// (the package default polls once a minute).
const char *const Capabilities = "IMAP4rev1 UIDPLUS CHILDREN NAMESPACE THREAD=ORDEREDSUBJECT "
                                 "THREAD=REFERENCES SORT QUOTA IDLE";

// Lays the test's folders over the fixed paths Courier's login and authentication daemon
// use, then runs the command. A fixed path that does not exist on this machine is made in a
// throw-away layer over its parent, so the machine's own folders stay untouched.
const char *const NamespaceScript = R"(#!/bin/bash
set -eu
root=$LUMORA_COURIER_ROOT
dir=$LUMORA_COURIER_DIR
fixed=(/etc/courier /run/courier /usr/lib/courier /usr/lib/courier-authlib)
private=("$dir/etc" "$dir/run" "$root/usr/lib/courier" "$root/usr/lib/courier-authlib")
scratch=
for path in "${fixed[@]}"; do
  [ -d "$path" ] && continue
  parent=${path%/*}
  if [ -z "$scratch" ]; then
    scratch=$dir/scratch
    mkdir -p "$scratch"
    mount -t tmpfs lumora-courier "$scratch"
  fi
  layer=$scratch/${parent//\//_}
  if [ ! -d "$layer" ]; then
    mkdir -p "$layer/upper" "$layer/work"
    mount -t overlay lumora-courier -o "lowerdir=$parent,upperdir=$layer/upper,workdir=$layer/work" "$parent"
  fi
  mkdir "$path"
done
for i in "${!fixed[@]}"; do
  mount --bind "${private[$i]}" "${fixed[$i]}"
done
exec "$@"
)";

// Starts the authentication daemon (it stays in the foreground) and, once its socket is
// there, becomes the TCP server, so no login is tried before the daemon can answer.
const char *const ServeScript = R"(#!/bin/bash
set -u
socket=/run/courier/authdaemon/socket
rm -f "$socket"
"$LUMORA_COURIER_ROOT/usr/lib/courier/courier-authlib/authdaemond" &
for _ in $(seq 200); do
  [ -S "$socket" ] && exec "$@"
  kill -0 $! 2>/dev/null || break
  sleep 0.05
done
echo "authdaemond did not open $socket" >&2
exit 1
)";

const char *const AuthdaemonRc = "authmodulelist=\"authuserdb\"\n"
                                 "authmodulelistorig=\"authuserdb\"\n"
                                 "daemons=3\n"
                                 "authdaemonvar=/run/courier/authdaemon\n"
                                 "DEBUG_LOGIN=0\n"
                                 "DEFAULTOPTIONS=\"\"\n"
                                 "LOGGEROPTS=\"\"\n";

// crypt(3) of "secret", as userdb keeps passwords.
const char *const SecretHash =
    "$6$lumoratest$wJnef4ruMfCSrmBMbr50NKXQfKchSN.Lg7oDWRjJDc7zTqQ2YVVnHQAjv3IZAwDJSNbs1BwZNB3pGbu3hml3D/";

// The stand-in for the login front end (see the class comment). User names are checked
// before they become a folder name.
const char *const LoginScript = R"(#!/bin/bash
printf '* OK [CAPABILITY %s] Courier-IMAP ready.\r\n' "$IMAP_CAPABILITY"
while IFS= read -r line; do
  line=${line%$'\r'}
  read -r tag command user password rest <<<"$line"
  case "${command^^}" in
    CAPABILITY) printf '* CAPABILITY %s\r\n%s OK CAPABILITY completed\r\n' "$IMAP_CAPABILITY" "$tag" ;;
    NOOP) printf '%s OK NOOP completed\r\n' "$tag" ;;
    LOGOUT) printf '* BYE Courier-IMAP server shutting down\r\n%s OK LOGOUT completed\r\n' "$tag"; exit 0 ;;
    LOGIN)
      user=${user#\"}; user=${user%\"}; password=${password#\"}; password=${password%\"}
      if [ "$password" != secret ] || [[ ! "$user" =~ ^[a-z0-9_]+$ ]]; then
        printf '%s NO Login failed.\r\n' "$tag"; continue
      fi
      home=$LUMORA_COURIER_HOMES/$user
      if [ ! -d "$home/Maildir" ]; then
        mkdir -p "$home" && maildirmake.courier "$home/Maildir" || exit 1
      fi
      cd "$home" || exit 1
      export AUTHENTICATED=$user IMAPLOGINTAG=$tag HOME=$home MAILDIR=$home/Maildir
      exec imapd "$home/Maildir" ;;
    *) printf '%s BAD Log in first.\r\n' "$tag" ;;
  esac
done
)";

const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QFileDevice::Permissions Executable = OwnerOnly | QFileDevice::ExeOwner;

QString courierPath(const QString &path)
{
    return ImapTestServer::unpackedRoot() + path;
}

// The unshare options of every run in the namespace: a mount namespace of its own, and a
// process one too, so that whatever the server leaves when it ends is reaped with it rather
// than left to this machine's init.
QStringList unshareOptions()
{
    return {QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
            QStringLiteral("--pid"),   QStringLiteral("--fork"),        QStringLiteral("--kill-child")};
}

} // namespace

QString CourierServer::unavailableReason()
{
    if (!QFileInfo(courierPath(QStringLiteral("/usr/bin/imapd"))).isExecutable()
        || !QFileInfo(courierPath(QStringLiteral("/usr/sbin/couriertcpd"))).isExecutable())
        return QStringLiteral("Courier is not unpacked in %1 (run scripts/install-deps)").arg(unpackedRoot());
    if (!QFileInfo(QStringLiteral("/bin/bash")).isExecutable())
        return QStringLiteral("no /bin/bash for the login scripts");
    return {};
}

CourierServer::CourierServer(const QByteArray &capabilities)
    : m_dir(QStringLiteral("/tmp/lumora-courier-XXXXXX"))
    , m_capabilities(capabilities.isEmpty() ? QByteArray(Capabilities) : capabilities)
{
}

CourierServer::~CourierServer()
{
    stop();
}

bool CourierServer::writeFile(const QString &name, const QByteArray &text, QFileDevice::Permissions permissions)
{
    QFile file(m_dir.path() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.setPermissions(permissions)
        || file.write(text) != text.size() || !file.flush()) {
        m_error = QStringLiteral("cannot write %1").arg(file.fileName());
        return false;
    }
    return true;
}

QProcessEnvironment CourierServer::environment() const
{
    const QString dir = m_dir.path();
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), courierPath(QStringLiteral("/usr/bin:")) + qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), courierPath(QStringLiteral("/usr/lib")));
    env.insert(QStringLiteral("LUMORA_COURIER_ROOT"), unpackedRoot());
    env.insert(QStringLiteral("LUMORA_COURIER_DIR"), dir);
    env.insert(QStringLiteral("LUMORA_COURIER_HOMES"), dir + QStringLiteral("/home"));
    return env;
}

bool CourierServer::runInNamespace(const QStringList &command)
{
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
        m_error = QStringLiteral("no unshare program");
        return false;
    }
    QProcess process;
    process.setProcessEnvironment(environment());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(unshare, unshareOptions() + QStringList{m_dir.path() + QStringLiteral("/namespace")} + command);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(5000);
        m_error = QStringLiteral("%1 in private namespaces failed: %2")
                      .arg(command.join(QLatin1Char(' ')), QString::fromUtf8(process.readAll()).trimmed());
        return false;
    }
    return true;
}

bool CourierServer::prepare()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString dir = m_dir.path();
    for (const char *sub : {"/home", "/etc", "/run/authdaemon"}) {
        if (!QDir().mkpath(dir + QLatin1String(sub))) {
            m_error = QStringLiteral("cannot make %1%2").arg(dir, QLatin1String(sub));
            return false;
        }
    }
    // Owner only: makeuserdb refuses a user list that others may read.
    if (!writeFile(QStringLiteral("login"), LoginScript, Executable)
        || !writeFile(QStringLiteral("namespace"), NamespaceScript, Executable)
        || !writeFile(QStringLiteral("serve"), ServeScript, Executable)
        || !writeFile(QStringLiteral("etc/authdaemonrc"), AuthdaemonRc, OwnerOnly)
        || !writeFile(QStringLiteral("etc/userdb"), {}, OwnerOnly))
        return false;
    m_port = freePort();

    // Building the (empty) user database in the namespace proves the namespace can be made.
    QString standIn;
    if (!qEnvironmentVariableIsEmpty("LUMORA_COURIER_STAND_IN"))
        standIn = QStringLiteral("LUMORA_COURIER_STAND_IN is set");
    else if (!runInNamespace({courierPath(QStringLiteral("/usr/sbin/makeuserdb"))}))
        standIn = m_error;
    m_error.clear();
    m_realLogin = standIn.isEmpty();
    const QString said = m_realLogin
        ? QStringLiteral("Courier test server: Courier's own login (couriertcpd, imaplogin, authdaemond with "
                         "userdb) in private mount and process namespaces")
        : QStringLiteral("Courier test server: the stand-in login script, NOT Courier's own login (%1)").arg(standIn);
    std::fprintf(stderr, "%s\n", qPrintable(said));
    return true;
}

bool CourierServer::addUser(const QString &user)
{
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    // The name becomes a folder and a line of the user database.
    if (!QRegularExpression(QStringLiteral("^[a-z0-9_]+$")).match(user).hasMatch()) {
        m_error = QStringLiteral("Courier test users are named in a-z, 0-9 and _, not %1").arg(user);
        return false;
    }
    // The stand-in makes a user's home at the first login.
    if (!m_realLogin || m_users.contains(user))
        return true;
    const QString home = m_dir.path() + QStringLiteral("/home/") + user;
    if (!QDir().mkpath(home)) {
        m_error = QStringLiteral("cannot make %1").arg(home);
        return false;
    }
    QProcess maildirmake;
    maildirmake.setProcessEnvironment(environment());
    maildirmake.setProcessChannelMode(QProcess::MergedChannels);
    maildirmake.start(courierPath(QStringLiteral("/usr/bin/maildirmake.courier")), {home + QStringLiteral("/Maildir")});
    if (!maildirmake.waitForFinished(10000) || maildirmake.exitStatus() != QProcess::NormalExit
        || maildirmake.exitCode() != 0) {
        m_error =
            QStringLiteral("cannot make the Maildir of %1: %2").arg(user, QString::fromUtf8(maildirmake.readAll()));
        return false;
    }
    QFile userdb(m_dir.path() + QStringLiteral("/etc/userdb"));
    const QByteArray line = user.toUtf8() + '\t' + "uid=" + QByteArray::number(::getuid())
        + "|gid=" + QByteArray::number(::getgid()) + "|home=" + QFile::encodeName(home)
        + "|mail=" + QFile::encodeName(home) + "/Maildir|systempw=" + SecretHash + '\n';
    if (!userdb.open(QIODevice::Append) || userdb.write(line) != line.size() || !userdb.flush()) {
        m_error = QStringLiteral("cannot add %1 to %2").arg(user, userdb.fileName());
        return false;
    }
    userdb.close();
    // The authentication daemon reads the rebuilt database at its next lookup.
    if (!runInNamespace({courierPath(QStringLiteral("/usr/sbin/makeuserdb"))}))
        return false;
    m_users.insert(user);
    return true;
}

bool CourierServer::start()
{
    if (isRunning())
        return true;
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    const QString dir = m_dir.path();
    QProcessEnvironment env = environment();
    const std::pair<const char *, const char *> settings[] = {{"IMAP_CAPABILITY", m_capabilities.constData()},
                                                              {"IMAP_KEYWORDS", "1"},
                                                              {"IMAP_ACL", "1"},
                                                              {"IMAP_IDLE_TIMEOUT", "60"},
                                                              {"IMAP_ENHANCEDIDLE", "1"},
                                                              {"IMAP_MAILBOX_SANITY_CHECK", "1"},
                                                              {"IMAP_TRASHFOLDERNAME", "Trash"},
                                                              {"IMAP_EMPTYTRASH", "Trash:7"},
                                                              {"IMAP_USELOCKS", "1"},
                                                              {"IMAP_MOVE_EXPUNGE_TO_TRASH", "0"},
                                                              {"IMAP_UMASK", "022"}};
    for (const auto &[key, value] : settings)
        env.insert(QString::fromLatin1(key), QString::fromLatin1(value));
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A session of its own: the server signals its whole process group when it stops, which
    // would otherwise reach every test server of the suite running as the same user; and
    // stop() ends the whole session, the authentication daemon with it.
    m_process.setChildProcessModifier([] { ::setsid(); });
    const QStringList tcpd = {courierPath(QStringLiteral("/usr/sbin/couriertcpd")),
                              QStringLiteral("-address=127.0.0.1"),
                              QStringLiteral("-nodnslookup"),
                              QStringLiteral("-noidentlookup"),
                              QStringLiteral("-maxprocs=200"),
                              QStringLiteral("-maxperip=100"),
                              QString::number(m_port)};
    if (m_realLogin) {
        // The front end checks the password with the daemon, then runs the mail server in
        // the user's home on the folder named last.
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("unshare")),
                        unshareOptions()
                            + QStringList{dir + QStringLiteral("/namespace"), dir + QStringLiteral("/serve")} + tcpd
                            + QStringList{courierPath(QStringLiteral("/usr/lib/courier/courier/imaplogin")),
                                          courierPath(QStringLiteral("/usr/bin/imapd")), QStringLiteral("Maildir")});
    } else {
        m_process.start(tcpd.first(), tcpd.mid(1) + QStringList{dir + QStringLiteral("/login")});
    }
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("couriertcpd did not start: ") + m_process.errorString();
        return false;
    }
    m_session = pid_t(m_process.processId());
    if (waitForListening(m_process, m_port))
        return true;
    m_output += QString::fromUtf8(m_process.readAll());
    m_error = QStringLiteral("Courier is not listening on port %1: %2").arg(m_port).arg(m_output);
    stop();
    return false;
}

void CourierServer::stop()
{
    if (m_session > 0) {
        endSession();
        m_session = 0;
    }
    if (m_process.state() != QProcess::NotRunning)
        stopTree(m_process);
    m_output += QString::fromUtf8(m_process.readAll());
}

QList<pid_t> CourierServer::sessionMembers(pid_t session, bool zombies)
{
    return processesWhere([session, zombies](const QList<QByteArray> &fields) {
        return fields.size() > 3 && fields.at(3).toInt() == session && (zombies || fields.at(0) != "Z");
    });
}

void CourierServer::endSession()
{
    // By session rather than process group: Courier's TCP server puts itself in a group of
    // its own. Zombies left to this machine's init are no longer running and are not waited
    // for.
    const auto signalAll = [this](int signal) {
        const QList<pid_t> members = sessionMembers(m_session, false);
        for (pid_t pid : members)
            ::kill(pid, signal);
        return !members.isEmpty();
    };
    const auto waitEnded = [this](int ms) {
        const QDeadlineTimer deadline(ms);
        // The server itself is reaped here; the rest by their parents or, in the namespace,
        // with it.
        m_process.waitForFinished(ms);
        while (!sessionMembers(m_session, false).isEmpty()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(10);
        }
        return true;
    };
    if (!signalAll(SIGTERM) || waitEnded(5000))
        return;
    signalAll(SIGKILL);
    if (!waitEnded(5000))
        std::fprintf(stderr, "Courier test server: processes of session %d outlived SIGKILL\n", int(m_session));
}

QString CourierServer::log() const
{
    m_output += QString::fromUtf8(m_process.readAll());
    return m_output;
}

} // namespace lumora::test
