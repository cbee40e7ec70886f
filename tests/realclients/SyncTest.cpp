// Synchronisers filling the Maildir from a private Dovecot account: each step counts the
// announcements against what was delivered.
#include "tests/realclients/RealClientsFixture.h"

#include "host/imap/ImapAccountConfig.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QDir>
#include <QFile>
#include <QLocale>

using namespace lumora;
using namespace lumora::test;

namespace {

class Sync : public RealClients
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to sync with: " << reason.toStdString();
        ASSERT_TRUE(server.start()) << server.errorText().toStdString();
        ImapAccountConfig config;
        config.host = QStringLiteral("127.0.0.1");
        config.port = server.imapsPort();
        config.user = QStringLiteral("anna");
        config.password = QStringLiteral("secret");
        config.trustedFingerprints = {server.fingerprint()};
        other = std::make_unique<ImapTestClient>(config);
        ASSERT_TRUE(other->isReady());
    }

    // Mail the server took in at `received`, unread unless seen.
    void append(const QByteArray &mailbox, const QByteArray &id, const QDateTime &received, bool seen = false)
    {
        const QByteArray message = mail(id, "About " + id, received);
        const QByteArray date =
            QLocale::c().toString(received.toUTC(), QStringLiteral("dd-MMM-yyyy hh:mm:ss")).toLatin1() + " +0000";
        bool ok = false;
        other->run("APPEND " + mailbox + (seen ? " (\\Seen)" : " ()") + " \"" + date + "\" {"
                       + QByteArray::number(message.size()) + '}',
                   &ok, message);
        ASSERT_TRUE(ok) << id.constData();
    }

    void imap(const QByteArray &command)
    {
        bool ok = false;
        other->run(command, &ok);
        ASSERT_TRUE(ok) << command.constData();
    }

    // Files of the Inbox whose names match the pattern.
    int localNames(const QString &pattern) const
    {
        int n = 0;
        for (const char *sub : {"/new", "/cur"})
            n += int(QDir(root() + QLatin1String(sub)).entryList(QStringList{pattern}, QDir::Files).size());
        return n;
    }

    DovecotServer server;
    std::unique_ptr<ImapTestClient> other;
};

QString mbsyncConfig(const QString &dir, const QString &maildir, quint16 port)
{
    const QString path = dir + QStringLiteral("/mbsyncrc");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QStringLiteral("IMAPAccount test\nHost 127.0.0.1\nPort %1\nUser anna\nPass secret\nSSLType None\n"
                              "AuthMechs LOGIN\n\nIMAPStore far\nAccount test\n\n"
                              "MaildirStore near\nInbox %2/\nSubFolders Maildir++\n\n"
                              "Channel all\nFar :far:\nNear :near:\nPatterns *\nCreate Both\nSync All\n"
                              "SyncState *\nExpunge Both\n")
                   .arg(port)
                   .arg(maildir)
                   .toUtf8());
    return path;
}

QString offlineimapConfig(const QString &dir, const QString &localFolders, quint16 port)
{
    const QString path = dir + QStringLiteral("/offlineimaprc");
    QDir().mkpath(dir + QStringLiteral("/offlineimap-meta"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QStringLiteral("[general]\naccounts = test\nmetadata = %1/offlineimap-meta\nui = quiet\n\n"
                              "[Account test]\nlocalrepository = local\nremoterepository = remote\n\n"
                              "[Repository local]\ntype = Maildir\nlocalfolders = %2\nsep = .\n\n"
                              "[Repository remote]\ntype = IMAP\nremotehost = 127.0.0.1\nremoteport = %3\n"
                              "remoteuser = anna\nremotepass = secret\nssl = no\nstarttls = no\n"
                              "folderfilter = lambda name: name == 'INBOX'\n")
                   .arg(dir, localFolders)
                   .arg(port)
                   .toUtf8());
    return path;
}

} // namespace

TEST_F(Sync, MbsyncAnnouncesEachNewUnreadMessageOnceAndOldOrChangedMailNever)
{
    const QString mbsync = program(QStringLiteral("mbsync"));
    if (mbsync.isEmpty())
        GTEST_SKIP() << "mbsync is not installed (Debian package isync)";
    const QString config = mbsyncConfig(QFileInfo(root()).absolutePath(), root(), server.imapPort());
    ASSERT_FALSE(config.isEmpty());
    QString said;
    const auto sync = [&] {
        EXPECT_TRUE(run(mbsync, {QStringLiteral("-c"), config, QStringLiteral("-a")}, &said)) << said.toStdString();
    };
    const QDateTime now = QDateTime::currentDateTime();

    // First sync: mail of days ago (unread and read) is old mail; what came minutes ago is new.
    for (int i = 0; i < 3; ++i)
        append("INBOX", "old" + QByteArray::number(i), now.addDays(-3 - i));
    append("INBOX", "oldread", now.addDays(-2), true);
    append("INBOX", "recent", now.addSecs(-600));
    startHost();
    sync();
    EXPECT_EQ(announced(), 1) << "first sync";

    append("INBOX", "new1", now);
    sync();
    EXPECT_EQ(announced(), 1) << "new mail";

    imap("SELECT INBOX");
    imap("UID STORE 1:* +FLAGS (\\Seen)");
    sync();
    EXPECT_EQ(announced(), 0) << "marked seen elsewhere";

    // Delivered here first, then renamed by the sync that uploads it.
    deliverLocally({}, mail("local1", "Delivered here", now));
    EXPECT_EQ(announced(), 1) << "local delivery";
    sync();
    EXPECT_EQ(announced(), 0) << "local delivery renamed by the sync";
    EXPECT_EQ(localNames(QStringLiteral("*lumora-local,U=*")), 1) << "the sync did not take the local delivery over";

    // A folder made elsewhere comes with mail of its own; only the Inbox is watched.
    imap("CREATE Lists");
    append("Lists", "list1", now);
    sync();
    EXPECT_TRUE(QDir(root() + QStringLiteral("/.Lists/cur")).exists());
    EXPECT_EQ(announced(), 0) << "new sub-folder";

    imap("UID STORE 1:* +FLAGS (\\Flagged)");
    imap("UID STORE 1:* -FLAGS (\\Seen)");
    sync();
    EXPECT_EQ(announced(), 0) << "mass flag change";

    imap("UID STORE 1:* +FLAGS (\\Seen)");
    for (int i = 0; i < 30; ++i)
        append("INBOX", "burst" + QByteArray::number(i), QDateTime::currentDateTime());
    sync();
    EXPECT_EQ(announced(), 30) << "burst of 30";

    // A restart looks three hours back: nothing of that is shown again.
    disconnectAddIn();
    connectAddInTo(maildir.get());
    controller()->GetNewMailMessages();
    EXPECT_EQ(announced(), 0) << "restart";
}

TEST_F(Sync, OfflineimapAnnouncesEachNewUnreadMessageOnceThroughItsRenames)
{
    const QString offlineimap = program(QStringLiteral("offlineimap"));
    if (offlineimap.isEmpty())
        GTEST_SKIP() << "offlineimap is not installed (Debian package offlineimap3)";
    // offlineimap keeps the Inbox as a folder of its own, which is the store watched here.
    const QString folders = QFileInfo(root()).absolutePath() + QStringLiteral("/offlineimap");
    ASSERT_TRUE(QDir().mkpath(folders));
    ASSERT_TRUE(QDir(root()).removeRecursively());
    ASSERT_TRUE(QFile::link(folders + QStringLiteral("/INBOX"), root()));
    const QString config = offlineimapConfig(QFileInfo(root()).absolutePath(), folders, server.imapPort());
    ASSERT_FALSE(config.isEmpty());
    QString said;
    const auto sync = [&] {
        EXPECT_TRUE(run(
            offlineimap,
            {QStringLiteral("-c"), config, QStringLiteral("-o"), QStringLiteral("-u"), QStringLiteral("quiet")}, &said))
            << said.toStdString();
    };
    const QDateTime now = QDateTime::currentDateTime();

    for (int i = 0; i < 2; ++i)
        append("INBOX", "old" + QByteArray::number(i), now.addDays(-4 - i));
    append("INBOX", "recent", now.addSecs(-300));
    sync();
    ASSERT_TRUE(QFileInfo(root() + QStringLiteral("/new")).isDir()) << said.toStdString();
    startHost();
    controller()->GetNewMailMessages();
    EXPECT_EQ(announced(), 1) << "first sync";

    append("INBOX", "new1", now);
    sync();
    EXPECT_EQ(announced(), 1) << "new mail";

    // offlineimap gives a local delivery a name of its own when it uploads it.
    deliverLocally({}, mail("local1", "Delivered here", now));
    EXPECT_EQ(announced(), 1) << "local delivery";
    sync();
    EXPECT_EQ(localNames(QStringLiteral("*lumora-local*")), 0) << "offlineimap left the local delivery's name";
    EXPECT_EQ(announced(), 0) << "local delivery renamed by the sync";

    imap("SELECT INBOX");
    imap("UID STORE 1:* +FLAGS (\\Seen \\Flagged)");
    sync();
    EXPECT_EQ(announced(), 0) << "marked seen elsewhere";
}
