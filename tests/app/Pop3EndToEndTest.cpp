// A POP3 account watched by the real executable: named on the command line, described by
// --verbose, its waiting mail shown once, and known from its state file after a restart.
#include "tests/app/LumoraProcess.h"

#include "app/HostSettings.h"
#include "platform/core/Registry.h"
#include "settings/SettingsTable.h"
#include "settings/modRegistry.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QRegularExpression re(const QString &pattern)
{
    return QRegularExpression(pattern);
}

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Corvane Software/Lumora");
}

// A first start with a one-second display time, as the IMAP run has it.
void prepareFirstStart()
{
    QDir(dataFolder()).removeRecursively();
    const QString key = QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora");
    for (const auto &row : SettingsTable::rows()) {
        if (row.kind != SettingsTable::Kind::Text)
            modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QString::fromLatin1(row.name),
                                            QString::fromLatin1(row.defaultText), reg::REG_SZ);
    }
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("MessageDelay"), QStringLiteral("1000"),
                                    reg::REG_SZ);
}

} // namespace

TEST(Pop3EndToEnd, WaitingMailIsShownOnceAndARestartFindsNothingNew)
{
    const QString reason = DovecotServer::pop3UnavailableReason();
    if (!reason.isEmpty())
        GTEST_SKIP() << "no POP3 server to test against: " << reason.toStdString();
    DovecotServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    prepareFirstStart();
    {
        // Dovecot makes the mailbox when it is first opened.
        ImapAccountConfig imap;
        imap.host = QStringLiteral("127.0.0.1");
        imap.port = server.imapsPort();
        imap.user = QStringLiteral("pia");
        imap.password = QStringLiteral("secret");
        imap.trustedFingerprints = {server.fingerprint()};
        ImapTestClient client(imap);
        ASSERT_TRUE(client.isReady());
        client.run("SELECT INBOX");
    }
    ASSERT_TRUE(server.deliver(QStringLiteral("pia"), "From: Ann <ann@example.org>\r\nSubject: one\r\n\r\nHi\r\n"));
    ASSERT_TRUE(server.deliver(QStringLiteral("pia"), "From: Bob <bob@example.org>\r\nSubject: two\r\n\r\nHi\r\n"));
    const QStringList arguments{QStringLiteral("--verbose"),
                                QStringLiteral("--pop3"),
                                QStringLiteral("pop3s://pia@127.0.0.1:%1").arg(server.pop3sPort()),
                                QStringLiteral("--imap-trust"),
                                server.fingerprint(),
                                QStringLiteral("--imap-password-stdin")};
    {
        LumoraProcess lumora(arguments);
        lumora.write("secret\n");
        const QString account = QStringLiteral("pia@127.0.0.1:%1").arg(server.pop3sPort());
        ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: host: .*POP3 account ") + account), 20000), 0)
            << lumora.lines().join(QLatin1Char('\n')).toStdString();
        const qsizetype last =
            lumora.waitForLine(re(QStringLiteral("^lumora: popup: 2 of 2, .*subject \"two\"")), 30000);
        ASSERT_GE(last, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
        lumora.waitForLine(re(QStringLiteral("^lumora: popup: closed")), 10000, last);
        EXPECT_EQ(lumora.terminate(), 0);
        EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: popup: \\d+ of \\d+"))).size(), 2);
    }
    // The next run knows both from its state file, and its check finds nothing new. (What the
    // add-in shows at start-up follows its own look-back, as for every source.)
    LumoraProcess again(arguments);
    again.write("secret\n");
    ASSERT_GE(again.waitForLine(re(QStringLiteral("^lumora: pop3 .*: 2 message\\(s\\) known")), 20000), 0)
        << again.lines().join(QLatin1Char('\n')).toStdString();
    ASSERT_GE(again.waitForLine(re(QStringLiteral("^lumora: pop3 .*: 0 new message")), 20000), 0)
        << again.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(again.terminate(), 0);
    QDir(dataFolder()).removeRecursively();
}
