#pragma once

#include "tests/testsupport/ImapTestServer.h"

#include <QProcess>
#include <QTemporaryDir>

namespace lumora::test {

// A private Courier IMAP server on 127.0.0.1 for one test suite, run from the packages that
// scripts/install-deps unpacked: Courier's own TCP server and mail server over a Maildir
// per user in a temporary folder, plain IMAP on a free port, the password "secret".
// Courier's login front end asks an authentication daemon at a fixed system path, so a
// small script stands in for it here: it answers CAPABILITY and LOGIN before the login and
// then hands the session to Courier's mail server exactly as the front end does (the user
// and the tag of the LOGIN in the environment). Everything after the login is Courier's.
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
    // Courier keeps a user's folders below the Inbox.
    QByteArray mailbox(const QByteArray &name) const override { return "INBOX." + name; }
    QString errorText() const override { return m_error; }
    QString log() const override { return m_output; }

private:
    bool prepare();

    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_capabilities;
    quint16 m_port = 0;
    QString m_error;
    QString m_output;
    bool m_prepared = false;
};

} // namespace lumora::test
