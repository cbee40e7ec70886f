// The host's problems reach the user where they look: standard error, the log and the tray
// icon's tip, from a real Maildir store with a folder that may not be read.
#include "app/HostProblemReport.h"

#include "host/imap/ImapApplication.h"
#include "host/imap/ImapWatcher.h"
#include "host/maildir/MaildirApplication.h"
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/FakeNotifyIconHost.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/Unprivileged.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using namespace lumora::test;

namespace {

QString logText()
{
    QFile f(HostProblemReport::logFile());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(HostProblemReport, AFolderThatMayNotBeReadIsToldUntilItMay)
{
    FakeNotifyIconHost tray;
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Private"));
    const QString privatePath = tree.root() + QStringLiteral("/.Private");
    // Open to everyone but the one folder (a temporary directory is its owner's only).
    QFile::setPermissions(tree.root(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(privatePath, QFileDevice::Permissions());
    std::unique_ptr<MaildirApplication> app;
    {
        Unprivileged unprivileged;
        app = std::make_unique<MaildirApplication>(QStringList{tree.root()});
    }
    QStringList said;
    new HostProblemReport(app.get(), QStringLiteral("MaildirHost"), [&said](const QString &line) { said << line; });

    const QString problem = QStringLiteral("The mail folder %1 cannot be read: Permission denied. Its new mail is "
                                           "announced once it can be read.")
                                .arg(privatePath);
    EXPECT_EQ(said, QStringList{QStringLiteral("Lumora: ") + problem});
    EXPECT_EQ(tray.statusNote(), problem);
    EXPECT_TRUE(logText().contains(QStringLiteral(" MaildirHost: ") + problem)) << logText().toStdString();

    chmodAsOwner(privatePath, 0x7700);
    // The store's watch sees the permission change.
    EXPECT_TRUE(waitUntil([&] { return tray.statusNote().isEmpty(); }));
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[1], QStringLiteral("Lumora: The problems reported before are over: all new mail is noticed again."));
    EXPECT_TRUE(logText().contains(QStringLiteral("all new mail is noticed again")));
    app.reset();
}

// An IMAP account with two watched mailboxes: one is deleted on the server and stays
// unwatched. The other's session coming back after the server restarts says nothing of
// it, so no "over" line may follow while the first is still gone.
TEST(HostProblemReport, ASessionComingBackDoesNotEndAnotherSessionsProblem)
{
    const QString reason = DovecotServer::unavailableReason();
    if (!reason.isEmpty())
        GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
    FakeNotifyIconHost tray;
    DovecotServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    ImapAccountConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = server.imapsPort();
    config.user = QStringLiteral("report");
    config.password = QStringLiteral("secret");
    config.trustedFingerprints = {server.fingerprint()};
    ImapTestClient client(config);
    ASSERT_TRUE(client.isReady());
    client.run("CREATE Work");

    ImapApplication app({config});
    app.watcher()->setBackoff(50, 400);
    app.setStartupCheckMs(600000);
    QStringList said;
    new HostProblemReport(&app, QStringLiteral("ImapHost"), [&said](const QString &line) { said << line; });
    app.start();
    ASSERT_TRUE(waitUntil([&] { return app.watcher()->idlingCount() == 2; }, 10000));
    // A clean start says nothing at all.
    EXPECT_EQ(said, QStringList{});

    bool ok = false;
    client.run("DELETE Work", &ok);
    ASSERT_TRUE(ok);
    const QString gone = QStringLiteral("The mailbox \"Work\" is gone from");
    ASSERT_TRUE(waitUntil([&] { return tray.statusNote().contains(gone); }, 10000)) << said.join('\n').toStdString();

    server.stop();
    ASSERT_TRUE(waitUntil([&] { return app.watcher()->idlingCount() == 0; }));
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    ASSERT_TRUE(
        waitUntil([&] { return app.watcher()->idlingCount() == 1 && app.problems() == tray.statusNote(); }, 10000));
    EXPECT_TRUE(tray.statusNote().startsWith(gone)) << tray.statusNote().toStdString();
    EXPECT_FALSE(said.join('\n').contains(QStringLiteral("are over"))) << said.join('\n').toStdString();
}
