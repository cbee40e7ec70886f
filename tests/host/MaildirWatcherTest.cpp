#include "tests/host/MaildirTree.h"

#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirWatcher.h"
#include "tests/testsupport/VirtualClock.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::MaildirTree;

namespace {

class VirtualClockScope
{
public:
    VirtualClockScope() { Clock::setInstance(&clock); }
    ~VirtualClockScope() { Clock::setInstance(nullptr); }
    VirtualClock clock;
};

int unreadCount(MaildirApplication &app, const QString &entryId = {})
{
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    host::FolderPtr folder = entryId.isEmpty() ? inbox : ns->GetFolderFromID(entryId, inbox->StoreID());
    if (!folder)
        return -1;
    host::ItemsPtr items = folder->items();
    int n = 0;
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
        ++n;
    return n;
}

TEST(MaildirNewMail, OneSignalPerBurstAndNoneForMovesOrVanishedFiles)
{
    VirtualClockScope vc;
    MaildirTree tree;
    tree.put({}, QStringLiteral("new"), QStringLiteral("old.host"), "Subject: old\n\n");
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);

    for (int i = 0; i < 3; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("burst%1.host").arg(i), "Subject: b\n\n");
    app.checkForChanges();
    vc.clock.advance(MaildirWatcher::QuietMs - 1);
    EXPECT_EQ(spy.count(), 0);
    tree.put({}, QStringLiteral("new"), QStringLiteral("late.host"), "Subject: b\n\n");
    app.checkForChanges();
    vc.clock.advance(MaildirWatcher::QuietMs - 1);
    EXPECT_EQ(spy.count(), 0); // still the same burst
    vc.clock.advance(1);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(unreadCount(app), 5);

    // A mail client moving messages to cur/ and marking them read is not new mail.
    QFile::rename(tree.root() + QStringLiteral("/new/burst0.host"),
                  tree.root() + QStringLiteral("/cur/burst0.host:2,S"));
    QFile::rename(tree.root() + QStringLiteral("/new/burst1.host"),
                  tree.root() + QStringLiteral("/cur/burst1.host:2,"));
    QFile::remove(tree.root() + QStringLiteral("/new/late.host"));
    app.checkForChanges();
    vc.clock.advance(5000);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(unreadCount(app), 3);

    // A delivery stream that never goes quiet still reports within the longest delay.
    for (int i = 0; i < 20; ++i) {
        tree.put({}, QStringLiteral("new"), QStringLiteral("stream%1.host").arg(i), "Subject: s\n\n");
        app.checkForChanges();
        vc.clock.advance(200);
    }
    EXPECT_GE(spy.count(), 2);
    EXPECT_LE(spy.count(), 4);
}

TEST(MaildirNewMail, FoldersCreatedAfterStartUpAreWatched)
{
    VirtualClockScope vc;
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);
    QDir().mkpath(tree.root() + QStringLiteral("/.Lists/new")); // being created: no cur/ yet
    app.checkForChanges();
    tree.makeFolder(QStringLiteral(".Lists"));
    tree.put(QStringLiteral(".Lists"), QStringLiteral("new"), QStringLiteral("l1.host"), "Subject: list\n\n");
    app.checkForChanges();
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(spy.count(), 1);
    const QString listsId = app.session()->GetDefaultFolder(host::FolderInbox)->folders()->Item(1)->EntryID();
    EXPECT_EQ(unreadCount(app, listsId), 1);

    // Trash made by the host itself is watched like any other folder.
    ASSERT_TRUE(app.session()->GetDefaultFolder(host::FolderDeletedItems));
    app.checkForChanges();
    tree.put(QStringLiteral(".Trash"), QStringLiteral("new"), QStringLiteral("t1.host"), "Subject: t\n\n");
    app.checkForChanges();
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(spy.count(), 2);
}

TEST(MaildirNewMail, InotifyReportsDeliveriesWithoutBeingAsked)
{
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);
    for (int i = 0; i < 5; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("i%1.host").arg(i), "Subject: i\n\n");
    ASSERT_TRUE(spy.wait(3000));
    QTest::qWait(MaildirWatcher::QuietMs * 2);
    EXPECT_EQ(spy.count(), 1);

    // A folder made later, then a delivery into it.
    tree.makeFolder(QStringLiteral(".Later"));
    QTest::qWait(100);
    tree.put(QStringLiteral(".Later"), QStringLiteral("new"), QStringLiteral("x.host"), "Subject: later\n\n");
    EXPECT_TRUE(spy.wait(3000));
    EXPECT_EQ(spy.count(), 2);
}

TEST(MaildirNewMail, DeliveryAgentDeliversIntoWatchedStore)
{
    const QString agent = QStandardPaths::findExecutable(QStringLiteral("deliverquota"),
                                                         {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (agent.isEmpty())
        GTEST_SKIP() << "deliverquota (maildrop) is not installed";
    MaildirTree tree;
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);
    for (int i = 0; i < 2; ++i) {
        QProcess deliver;
        deliver.start(agent, {tree.root()});
        ASSERT_TRUE(deliver.waitForStarted(5000));
        deliver.write("From: =?UTF-8?Q?Andr=C3=A9?= <andre@example.org>\nSubject: delivered " + QByteArray::number(i)
                      + "\nX-Priority: 1\n\nbody\n");
        deliver.closeWriteChannel();
        ASSERT_TRUE(deliver.waitForFinished(10000));
        ASSERT_EQ(deliver.exitCode(), 0) << deliver.readAllStandardError().constData();
    }
    ASSERT_TRUE(spy.wait(3000));
    QTest::qWait(MaildirWatcher::QuietMs * 2);
    EXPECT_EQ(spy.count(), 1);
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    host::ItemPtr first = items->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->SenderName(), QStringLiteral("André"));
    EXPECT_EQ(first->Importance(), 2);
    host::ItemPtr second = items->FindNext();
    ASSERT_TRUE(second);
    EXPECT_EQ(QStringList({first->Subject(), second->Subject()}),
              (QStringList{QStringLiteral("delivered 0"), QStringLiteral("delivered 1")}));
    EXPECT_EQ(items->FindNext(), nullptr);
}

} // namespace
