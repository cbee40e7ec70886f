#pragma once

#include "tests/testsupport/ImapTestServer.h"

#include <QProcess>
#include <QTemporaryDir>

#include <sys/types.h>

namespace lumora::test {

// A private Cyrus IMAP server on 127.0.0.1 for one test suite, run from the packages that
// scripts/install-deps unpacked: its own configuration, mailbox database and spool in a
// temporary folder, plain IMAP on a free port, the users added with their passwords in a
// private SASL database, and each user's Inbox made at the first login. The master runs in the foreground as our child, as the
// current user (as nobody when that is root, which Cyrus refuses to run as), so it can be
// stopped and started again on the same port.
class CyrusServer : public ImapTestServer
{
public:
    // Why no server can run here; empty when one can.
    static QString unavailableReason();

    CyrusServer();
    ~CyrusServer() override;

    QString name() const override { return QStringLiteral("Cyrus"); }
    bool start() override;
    void stop() override;
    bool isRunning() const override { return m_process.state() == QProcess::Running; }
    quint16 loginPort() const override { return m_port; }
    bool implicitTls() const override { return false; }
    bool addUser(const QString &user) override;
    QString errorText() const override { return m_error; }
    // Cyrus logs to syslog only; this is what the master printed.
    QString log() const override { return m_output; }

private:
    bool prepare();

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    QString m_error;
    QString m_output;
    bool m_prepared = false;
};

} // namespace lumora::test
