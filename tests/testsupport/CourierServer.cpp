#include "tests/testsupport/CourierServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <unistd.h>

namespace lumora::test {

namespace {

// As Courier's packaged configuration has them, but for IDLE woken by file notification
// (the package default polls once a minute).
const char *const Capabilities = "IMAP4rev1 UIDPLUS CHILDREN NAMESPACE THREAD=ORDEREDSUBJECT "
                                 "THREAD=REFERENCES SORT QUOTA IDLE";

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

QString courierPath(const QString &path)
{
    return ImapTestServer::unpackedRoot() + path;
}

} // namespace

QString CourierServer::unavailableReason()
{
    if (!QFileInfo(courierPath(QStringLiteral("/usr/bin/imapd"))).isExecutable()
        || !QFileInfo(courierPath(QStringLiteral("/usr/sbin/couriertcpd"))).isExecutable())
        return QStringLiteral("Courier is not unpacked in %1 (run scripts/install-deps)").arg(unpackedRoot());
    if (!QFileInfo(QStringLiteral("/bin/bash")).isExecutable())
        return QStringLiteral("no /bin/bash for the login script");
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

bool CourierServer::prepare()
{
    const QString dir = m_dir.path();
    if (!QDir().mkpath(dir + QStringLiteral("/home"))) {
        m_error = QStringLiteral("cannot make %1/home").arg(dir);
        return false;
    }
    QFile script(dir + QStringLiteral("/login"));
    if (!script.open(QIODevice::WriteOnly) || script.write(LoginScript) < 0
        || !script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        m_error = QStringLiteral("cannot write %1").arg(script.fileName());
        return false;
    }
    m_port = freePort();
    return true;
}

bool CourierServer::start()
{
    if (isRunning())
        return true;
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    if (!m_prepared && !(m_prepared = prepare()))
        return false;
    const QString dir = m_dir.path();
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), courierPath(QStringLiteral("/usr/bin:")) + qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("LD_LIBRARY_PATH"), courierPath(QStringLiteral("/usr/lib")));
    env.insert(QStringLiteral("LUMORA_COURIER_HOMES"), dir + QStringLiteral("/home"));
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
    // would otherwise reach every test server of the suite running as the same user.
    m_process.setChildProcessModifier([] { ::setsid(); });
    m_process.start(courierPath(QStringLiteral("/usr/sbin/couriertcpd")),
                    {QStringLiteral("-address=127.0.0.1"), QStringLiteral("-nodnslookup"),
                     QStringLiteral("-noidentlookup"), QStringLiteral("-maxprocs=200"), QStringLiteral("-maxperip=100"),
                     QString::number(m_port), dir + QStringLiteral("/login")});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("couriertcpd did not start: ") + m_process.errorString();
        return false;
    }
    if (waitForListening(m_process, m_port))
        return true;
    m_output += QString::fromUtf8(m_process.readAll());
    m_error = QStringLiteral("Courier is not listening on port %1: %2").arg(m_port).arg(m_output);
    stop();
    return false;
}

void CourierServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        stopTree(m_process);
        m_output += QString::fromUtf8(m_process.readAll());
    }
}

} // namespace lumora::test
