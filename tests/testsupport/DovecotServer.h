#pragma once

#include "tests/testsupport/ImapTestServer.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace lumora::test {

// A private Dovecot IMAP server on 127.0.0.1 for one test: a temporary configuration, a
// self-signed certificate made here, every user name accepted with the password "secret",
// IMAPS and IMAP (STARTTLS) on free ports, and POP3S and POP3 (STLS) where dovecot-pop3d is
// installed. It runs in the foreground as our child, so it
// can be stopped and started again on the same ports.
class DovecotServer : public ImapTestServer
{
public:
    // Why no server can run here (no dovecot binary, no openssl); empty when one can.
    static QString unavailableReason();
    // Why no POP3 server can run here; empty when one can (it then serves beside IMAP).
    static QString pop3UnavailableReason();

    // extraConfig: lines added to the server's configuration (to take capabilities away).
    explicit DovecotServer(int maxSessionsPerUser = 20, const QString &extraConfig = {});
    ~DovecotServer() override;

    QString name() const override { return QStringLiteral("Dovecot"); }

    // Starts the server and waits until it accepts connections; false with errorText().
    bool start() override;
    void stop() override;
    bool isRunning() const override { return m_process.state() == QProcess::Running; }
    quint16 loginPort() const override { return m_imapsPort; }
    bool implicitTls() const override { return true; }

    // Before start(): the server also takes OAuth2 tokens (OAUTHBEARER and XOAUTH2, or only
    // those of mechanisms) validated locally as JSON Web Tokens signed HS256 with key; their
    // "sub" is the user. The password "secret" still works.
    void enableOAuth2(const QByteArray &key, const QString &mechanisms = QStringLiteral("oauthbearer xoauth2"));

    // Delivers a message into the Inbox of a user who logged in before, straight into the
    // server's Maildir as a delivery agent does; works while the server is stopped too.
    bool deliver(const QString &user, const QByteArray &message);

    quint16 imapsPort() const { return m_imapsPort; }
    quint16 imapPort() const { return m_imapPort; }
    // 0 when Dovecot's POP3 server is not installed.
    quint16 pop3sPort() const { return m_pop3sPort; }
    quint16 pop3Port() const { return m_pop3Port; }
    // SHA-256 of the server certificate, upper-case hex.
    QString fingerprint() const override { return m_fingerprint; }
    QString errorText() const override { return m_error; }
    QString log() const override;

private:
    bool prepare();

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_maxSessions;
    QString m_extraConfig;
    QByteArray m_oauth2Key;
    QString m_oauth2Mechanisms;
    quint16 m_imapsPort = 0;
    quint16 m_imapPort = 0;
    quint16 m_pop3sPort = 0;
    quint16 m_pop3Port = 0;
    QString m_fingerprint;
    QString m_error;
    bool m_prepared = false;
};

} // namespace lumora::test
