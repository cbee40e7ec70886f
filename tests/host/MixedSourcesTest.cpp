// A Maildir store and an IMAP account in one mail application: one folder tree, one
// new-mail stream, and each source's own Trash.
#include "host/common/MailApplication.h"
#include "host/imap/ImapSource.h"
#include "host/imap/ImapWatcher.h"
#include "host/maildir/MaildirSource.h"
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::ImapTestClient;
using lumora::test::MaildirTree;
using lumora::test::waitUntil;

namespace {

class MixedSources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
        ASSERT_TRUE(server.start()) << server.errorText().toStdString();
        config.host = QStringLiteral("127.0.0.1");
        config.port = server.imapsPort();
        config.user = QStringLiteral("mixed");
        config.password = QStringLiteral("secret");
        config.trustedFingerprints = {server.fingerprint()};
    }

    static QStringList unreadSubjects(const host::FolderPtr &folder)
    {
        QStringList subjects;
        host::ItemsPtr items = folder->items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            subjects.append(item->Subject());
        return subjects;
    }

    DovecotServer server;
    ImapAccountConfig config;
    MaildirTree tree;
};

TEST_F(MixedSources, BothAreTopFoldersAnnounceTheirMailAndDeleteIntoTheirOwnTrash)
{
    MailApplication app;
    ASSERT_TRUE(app.addSource(std::make_unique<MaildirSource>(tree.root())));
    auto imap = std::make_unique<ImapSource>(config);
    ImapWatcher *watcher = imap->watcher();
    ASSERT_TRUE(app.addSource(std::move(imap)));
    // The same store again is refused: it would report every message twice.
    EXPECT_FALSE(app.addSource(std::make_unique<MaildirSource>(tree.root() + QStringLiteral("/."))));
    app.setStartupCheckMs(600000);
    app.start();
    ASSERT_TRUE(waitUntil([&] { return watcher->idlingCount() == 1; }, 20000));

    host::NameSpace *ns = app.GetNamespace(QStringLiteral("MAPI"));
    host::FoldersPtr tops = ns->folders();
    ASSERT_EQ(tops->Count(), 2);
    const host::FolderPtr local = tops->Item(1);
    const host::FolderPtr remote = tops->Item(2);
    EXPECT_EQ(local->FolderPath(), QDir(tree.root()).canonicalPath());
    EXPECT_NE(local->StoreID(), remote->StoreID());
    // Each id leads back to its own source only.
    EXPECT_TRUE(ns->GetFolderFromID(remote->EntryID(), remote->StoreID()));
    EXPECT_FALSE(ns->GetFolderFromID(remote->EntryID(), local->StoreID()));

    QSignalSpy newMail(&app, &host::Application::NewMail);
    tree.put(QString(), QStringLiteral("new"), QStringLiteral("1.local"), MaildirTree::message("on disk"));
    ASSERT_TRUE(waitUntil([&] { return newMail.count() >= 1; }, 10000));
    ImapTestClient client(config);
    ASSERT_TRUE(client.append("INBOX", "From: Bo <bo@example.org>\r\nSubject: on the server\r\n\r\nHi\r\n"));
    ASSERT_TRUE(waitUntil([&] { return newMail.count() >= 2; }, 10000));

    EXPECT_EQ(unreadSubjects(local), QStringList{QStringLiteral("on disk")});
    EXPECT_EQ(unreadSubjects(remote), QStringList{QStringLiteral("on the server")});

    host::ItemPtr onDisk = local->items()->Find(QStringLiteral("[Unread] = true"));
    host::ItemPtr onServer = remote->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(onDisk && onServer);
    EXPECT_TRUE(onDisk->Delete());
    EXPECT_TRUE(onServer->Delete());
    EXPECT_EQ(QDir(tree.root() + QStringLiteral("/.Trash/cur")).entryList(QDir::Files).size()
                  + QDir(tree.root() + QStringLiteral("/.Trash/new")).entryList(QDir::Files).size(),
              1);
    EXPECT_EQ(client.count("Trash"), 1);
    EXPECT_EQ(client.count("INBOX"), 0);
}

TEST_F(MixedSources, ASourceRemovedWhileRunningIsNoLongerLookedUp)
{
    MailApplication app;
    ASSERT_TRUE(app.addSource(std::make_unique<MaildirSource>(tree.root())));
    ASSERT_TRUE(app.addSource(std::make_unique<ImapSource>(config)));
    app.setStartupCheckMs(600000);
    app.start();
    host::NameSpace *ns = app.GetNamespace(QStringLiteral("MAPI"));
    const host::FolderPtr remote = ns->folders()->Item(2);
    ASSERT_TRUE(app.removeSource(remote->StoreID()));
    EXPECT_FALSE(app.removeSource(remote->StoreID()));
    EXPECT_EQ(ns->folders()->Count(), 1);
    EXPECT_FALSE(ns->GetFolderFromID(remote->EntryID(), remote->StoreID()));
    // The folder handed out before stays a usable object.
    EXPECT_FALSE(remote->Name().isEmpty());
}

} // namespace
