#pragma once

#include "tests/testsupport/ImapTestServer.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace lumora::test {

// A private Courier IMAP server on 127.0.0.1 for one test suite, run from the packages that
// scripts/install-deps unpacked: Courier's own TCP server, login front end, authentication
// daemon (with its userdb module) and mail server, over a Maildir per user in a temporary
// folder, plain IMAP on a free port, the password "secret".
// Courier's login and authentication daemon find their socket, configuration and modules at
// fixed system paths, so the server runs in a private mount namespace in which the test's
// own folders lie over those paths; nothing outside it changes, and servers running at once
// each see their own. Where no such namespace can be made (not root, unshare refused) a small
// script stands in for the login front end: it answers CAPABILITY and LOGIN and hands the
// session to Courier's mail server as the front end does. Which login runs is said on
// stderr when the server is set up.
class CourierServer : public ImapTestServer
{
public:
    // Why no server can run here; empty when one can.
    static QString unavailableReason();

    // capabilities: what the server offers, as Courier's IMAP_CAPABILITY setting; empty
    // for what its package offers (IDLE among them).
    explicit CourierServer(const QByteArray &capabilities = {});
    ~CourierServer() override;

    QString name() const override { return QStringLiteral("Courier"); }
    bool start() override;
    void stop() override;
    bool isRunning() const override { return m_process.state() == QProcess::Running; }
    quint16 loginPort() const override { return m_port; }
    bool implicitTls() const override { return false; }
    bool addUser(const QString &user) override;
    // Courier keeps a user's folders below the Inbox.
    QByteArray mailbox(const QByteArray &name) const override { return "INBOX." + name; }
    QString errorText() const override { return m_error; }
    QString log() const override;

    // Whether Courier's own login checks passwords (else the stand-in does); known once the
    // server was started or a user added.
    bool realLogin() const { return m_realLogin; }
    // The process group the running server and all it started belong to; 0 when stopped.
    pid_t session() const { return m_session; }
    // The processes of a session, those that ended but were not yet reaped if zombies.
    static QList<pid_t> sessionMembers(pid_t session, bool zombies);

private:
    bool prepare();
    bool writeFile(const QString &name, const QByteArray &text, QFileDevice::Permissions permissions);
    QProcessEnvironment environment() const;
    // Runs a command in a mount namespace of its own that shows the test's folders at
    // Courier's fixed paths; false with m_error.
    bool runInNamespace(const QStringList &command);
    // Ends every process of the server's session (the authentication daemon among them).
    void endSession();

    QTemporaryDir m_dir;
    mutable QProcess m_process;
    QByteArray m_capabilities;
    quint16 m_port = 0;
    // The server's session (its process group), until all of it ended.
    pid_t m_session = 0;
    QString m_error;
    mutable QString m_output;
    QSet<QString> m_users;
    bool m_prepared = false;
    bool m_realLogin = false;
};

} // namespace lumora::test
