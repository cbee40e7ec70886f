// The main path through the real executable on the IMAP host: mail appended on a private
// Dovecot, one scan, queued records and the popup presenting them one after another.
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
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QByteArray message(const QByteArray &from, const QByteArray &subject)
{
    return "From: " + from + "\r\nTo: me@example.org\r\nSubject: " + subject
        + "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0000\r\n\r\nHello.\r\n";
}

QRegularExpression re(const QString &pattern)
{
    return QRegularExpression(pattern);
}

// A first start on this host (the watched-folder list begins with its Inbox), with a
// one-second display time and no sound to keep the run short.
QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Corvane Software/Lumora");
}

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

ImapAccountConfig anna(const DovecotServer &server)
{
    ImapAccountConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = server.imapsPort();
    config.user = QStringLiteral("anna");
    config.password = QStringLiteral("secret");
    config.trustedFingerprints = {server.fingerprint()};
    return config;
}

// A private server and a first start; the run's accounts, watched folders and settings are
// left to no other test.
class ImapEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
        ASSERT_TRUE(server.start()) << server.errorText().toStdString();
        prepareFirstStart();
    }

    void TearDown() override
    {
        HostSettings settings = HostSettings::load();
        settings.imapAccounts.clear();
        settings.save();
        QDir(dataFolder()).removeRecursively();
    }

    DovecotServer server;
};

} // namespace

TEST_F(ImapEndToEnd, ThreeAppendsGiveOneScanAndOnePopupThenAFourthFollows)
{
    LumoraProcess lumora({QStringLiteral("--verbose"), QStringLiteral("--imap"),
                          QStringLiteral("imaps://anna@127.0.0.1:%1").arg(server.imapsPort()),
                          QStringLiteral("--imap-trust"), server.fingerprint(),
                          QStringLiteral("--imap-password-stdin")});
    lumora.write("secret\n");
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    // Mail appended before the Inbox's session has opened it would be part of what it
    // found there at start, not an arrival.
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: imap .*: INBOX is watched with IDLE")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();

    ImapTestClient client(anna(server));
    ASSERT_TRUE(client.append("INBOX", message("Ann <ann@example.org>", "one")));
    ASSERT_TRUE(client.append("INBOX", message("Bob <bob@example.org>", "two")));
    ASSERT_TRUE(client.append("INBOX", message("=?UTF-8?Q?Zo=C3=AB?= <zoe@example.org>", "three")));

    const qsizetype first = lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 3, .*subject \"one\"")), 20000);
    ASSERT_GE(first, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    // Appended while the popup shows: left for the scan after the popup has gone.
    ASSERT_TRUE(client.append("INBOX", message("Di <di@example.org>", "four")));
    const qsizetype last = lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 1, .*subject \"four\"")), 30000);
    ASSERT_GE(last, 0) << lumora.lines().join(QLatin1Char('\n')).toStdString();
    lumora.waitForLine(re(QStringLiteral("^lumora: popup: closed")), 10000, last);
    EXPECT_EQ(lumora.terminate(), 0);

    const QString all = lumora.lines().join(QLatin1Char('\n'));
    EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: scan: "))),
              (QStringList{QStringLiteral("lumora: scan: 3 queued, 3 waiting"),
                           QStringLiteral("lumora: scan: 1 queued, 1 waiting")}))
        << all.toStdString();
    const QStringList popups = lumora.linesMatching(re(QStringLiteral("^lumora: popup: \\d+ of \\d+")));
    ASSERT_EQ(popups.size(), 4) << all.toStdString();
    EXPECT_TRUE(popups.at(0).contains(QStringLiteral("1 of 3, folder \"Inbox\", from \"Ann\", subject \"one\"")))
        << popups.at(0).toStdString();
    EXPECT_TRUE(popups.at(2).contains(QStringLiteral("from \"Zoë\", subject \"three\""))) << popups.at(2).toStdString();
    // Showing mail never marks it read on the server.
    EXPECT_FALSE(client.flags("INBOX").contains("\\Seen"));
}

TEST_F(ImapEndToEnd, AccountsKeptInTheOptionsAreWatchedWithoutACommandLine)
{
    HostSettings settings = HostSettings::load();
    settings.imapAccounts = {anna(server).toUrl()};
    ASSERT_TRUE(settings.save());

    LumoraProcess lumora({QStringLiteral("--verbose"), QStringLiteral("--imap-trust"), server.fingerprint(),
                          QStringLiteral("--imap-password-stdin")});
    lumora.write("secret\n");
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: imap .*watching 1 mailbox")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    ASSERT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: imap .*: INBOX is watched with IDLE")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    ImapTestClient client(anna(server));
    ASSERT_TRUE(client.append("INBOX", message("Ann <ann@example.org>", "kept")));
    EXPECT_GE(lumora.waitForLine(re(QStringLiteral("^lumora: popup: 1 of 1, .*subject \"kept\"")), 20000), 0)
        << lumora.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lumora.terminate(), 0);
    EXPECT_EQ(lumora.linesMatching(re(QStringLiteral("^lumora: watching IMAP account "))),
              QStringList{QStringLiteral("lumora: watching IMAP account ") + anna(server).key()});

    // A Maildir store named on the command line joins the kept account: both are watched.
    QTemporaryDir maildir;
    for (const char *sub : {"cur", "new", "tmp"})
        QDir(maildir.path()).mkpath(QLatin1String(sub));
    LumoraProcess local({QStringLiteral("--verbose"), QStringLiteral("--imap-trust"), server.fingerprint(),
                         QStringLiteral("--imap-password-stdin"), QStringLiteral("--maildir"), maildir.path()});
    local.write("secret\n");
    EXPECT_GE(local.waitForLine(re(QStringLiteral("^lumora: attach: done")), 20000), 0)
        << local.lines().join(QLatin1Char('\n')).toStdString();
    const QStringList host = local.linesMatching(re(QStringLiteral("^lumora: host: ")));
    ASSERT_EQ(host.size(), 1) << local.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(host.first().contains(QStringLiteral("Maildir store ") + QDir(maildir.path()).canonicalPath()))
        << host.first().toStdString();
    EXPECT_TRUE(host.first().contains(QStringLiteral("IMAP account ") + anna(server).key()))
        << host.first().toStdString();
    EXPECT_EQ(local.terminate(), 0) << local.lines().join(QLatin1Char('\n')).toStdString();
}
