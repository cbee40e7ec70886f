#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>

#include <functional>

#include <sys/types.h>

namespace lumora::test {

// What a test needs of a private IMAP server on 127.0.0.1, whichever program it is, so one
// test can run against each; and the chores every such server shares.
class ImapTestServer
{
public:
    virtual ~ImapTestServer() = default;

    virtual QString name() const = 0;
    // Starts the server and waits until it accepts connections; false with errorText().
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

    // Where a test logs in: the port, whether it speaks TLS from the start, and the
    // SHA-256 of its certificate then (upper-case hex).
    virtual quint16 loginPort() const = 0;
    virtual bool implicitTls() const = 0;
    virtual QString fingerprint() const { return {}; }
    // Makes the user known with the password "secret", where the server keeps a list.
    virtual bool addUser(const QString &user)
    {
        Q_UNUSED(user);
        return true;
    }
    // The full name of a user's own mailbox, below the prefix of the personal namespace.
    virtual QByteArray mailbox(const QByteArray &name) const { return name; }

    virtual QString errorText() const = 0;
    virtual QString log() const = 0;

    // The folder the Cyrus and Courier packages were unpacked into by scripts/install-deps.
    static QString unpackedRoot();
    static quint16 freePort();
    // A self-signed certificate for localhost as cert.pem and key.pem in dir.
    static bool makeCertificate(const QString &dir, QString *fingerprint, QString *error);
    // Waits until something accepts connections on the port, while the process runs.
    static bool waitForListening(const QProcess &process, quint16 port, int ms = 15000);
    // Ends the process and the processes it started (each by its id), as a server going
    // down takes its sessions along.
    static void stopTree(QProcess &process);

protected:
    static QList<pid_t> childrenOf(pid_t pid);
    // The processes whose /proc/PID/stat fields after the name (state, parent, process
    // group, session, ...) match.
    static QList<pid_t> processesWhere(const std::function<bool(const QList<QByteArray> &)> &match);
};

} // namespace lumora::test
