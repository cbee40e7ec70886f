// Stores and folders that go away and come back while Lumora runs: deleted and made again,
// moved away and back, replaced by a link. Each is told while it is gone, watched again
// once it is back, and its mail is announced once, never twice.
#include "host/common/MailApplication.h"
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"
#include "tests/testsupport/Unprivileged.h"
#include "tests/testsupport/VirtualClock.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumora;
using lumora::test::chmodAsOwner;
using lumora::test::Unprivileged;

namespace {

// A store at base/Maildir, so that what lies beside it is ours too.
class ComingBack : public ::testing::Test
{
protected:
    QString root() const { return base.filePath(QStringLiteral("Maildir")); }
    QString at(const QString &rel) const { return root() + QLatin1Char('/') + rel; }

    void makeFolder(const QString &path) const
    {
        for (const char *sub : {"cur", "new", "tmp"})
            QDir().mkpath(path + QLatin1Char('/') + QLatin1String(sub));
    }
    void deliver(const QString &folder, const QString &name) const
    {
        QFile f(folder + QStringLiteral("/new/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Subject: " + name.toUtf8() + "\n\nbody\n");
    }
    // Starts Lumora on the store and lets its start-up announcement pass.
    void start()
    {
        app = std::make_unique<MaildirApplication>(QStringList{root()});
        vc.clock.advance(MaildirApplication::StartupCheckMs);
        mail = std::make_unique<QSignalSpy>(app.get(), &host::Application::NewMail);
        problems = std::make_unique<QSignalSpy>(app.get(), &MailApplication::problemsChanged);
    }
    // Lets inotify's events in, then lets a burst end.
    void settle()
    {
        QTest::qWait(100);
        vc.clock.advance(MaildirWatcher::QuietMs);
    }

    VirtualClockScope vc;
    QTemporaryDir base;
    std::unique_ptr<MaildirApplication> app;
    std::unique_ptr<QSignalSpy> mail;
    std::unique_ptr<QSignalSpy> problems;
};

} // namespace

TEST_F(ComingBack, AStoreMovedAwayAndBackIsToldAndWatchedAgainWithoutAnnouncingOldMail)
{
    makeFolder(root());
    makeFolder(at(QStringLiteral(".Lists")));
    deliver(root(), QStringLiteral("old.host"));
    start();

    const QString away = base.filePath(QStringLiteral("Maildir.away"));
    ASSERT_TRUE(QDir().rename(root(), away));
    settle();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("The mail store %1 is gone").arg(root())))
        << app->problems().toStdString();
    EXPECT_EQ(problems->count(), 1);
    // Delivered where it went: no longer Lumora's store, nothing to say.
    deliver(away + QStringLiteral("/.Lists"), QStringLiteral("meanwhile.host"));
    settle();
    EXPECT_EQ(mail->count(), 0);

    ASSERT_TRUE(QDir().rename(away, root()));
    settle();
    EXPECT_EQ(app->problems(), QString());
    EXPECT_EQ(problems->count(), 2);
    EXPECT_EQ(mail->count(), 1) << "the mail that came while it was away";
    vc.clock.advance(60000);
    EXPECT_EQ(mail->count(), 1);

    // Its watches work again: a delivery is seen at once, in the Inbox and in a folder.
    deliver(root(), QStringLiteral("next.host"));
    settle();
    EXPECT_EQ(mail->count(), 2);
    deliver(at(QStringLiteral(".Lists")), QStringLiteral("list.host"));
    settle();
    EXPECT_EQ(mail->count(), 3);
}

TEST_F(ComingBack, AStoreDeletedAndMadeAgainIsWatchedAgain)
{
    makeFolder(root());
    deliver(root(), QStringLiteral("old.host"));
    start();

    ASSERT_TRUE(QDir(root()).removeRecursively());
    settle();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("is gone"))) << app->problems().toStdString();
    EXPECT_EQ(mail->count(), 0);

    makeFolder(root());
    deliver(root(), QStringLiteral("restored.host"));
    settle();
    EXPECT_EQ(app->problems(), QString());
    EXPECT_EQ(mail->count(), 1);
    deliver(root(), QStringLiteral("next.host"));
    settle();
    EXPECT_EQ(mail->count(), 2);
}

TEST_F(ComingBack, AStoreReplacedByALinkIsFollowedWhereItLeads)
{
    makeFolder(root());
    start();
    const QString elsewhere = base.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().rename(root(), elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, root()));
    settle();
    EXPECT_EQ(app->problems(), QString());

    deliver(elsewhere, QStringLiteral("there.host"));
    settle();
    EXPECT_EQ(mail->count(), 1);
    host::ItemsPtr items = app->session()->GetDefaultFolder(host::FolderInbox)->items();
    host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Subject(), QStringLiteral("there.host")) << "read through the link, inside the store";

    // The link removed tells its target nothing; the directory beside it is watched.
    ASSERT_TRUE(QFile::remove(root()));
    settle();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("is gone"))) << app->problems().toStdString();
}

TEST_F(ComingBack, ANewDirectoryDeletedOrMovedAwayIsToldUntilItIsBack)
{
    makeFolder(root());
    makeFolder(at(QStringLiteral(".Lists")));
    deliver(at(QStringLiteral(".Lists")), QStringLiteral("kept.host"));
    start();

    // The Inbox's new/ deleted and made again.
    ASSERT_TRUE(QDir(at(QStringLiteral("new"))).removeRecursively());
    settle();
    EXPECT_EQ(app->problems(),
              QStringLiteral("The mail folder %1 has no new/ directory (deleted or moved away). It is watched again "
                             "as soon as new/ is back.")
                  .arg(root()));
    ASSERT_TRUE(QDir().mkdir(at(QStringLiteral("new"))));
    settle();
    EXPECT_EQ(app->problems(), QString());
    deliver(root(), QStringLiteral("in.host"));
    settle();
    EXPECT_EQ(mail->count(), 1);

    // A folder's new/ moved away and back, with the mail it held: nothing is announced again.
    const QString listsNew = at(QStringLiteral(".Lists/new"));
    ASSERT_TRUE(QDir().rename(listsNew, listsNew + QStringLiteral(".away")));
    settle();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("has no new/"))) << app->problems().toStdString();
    ASSERT_TRUE(QDir().rename(listsNew + QStringLiteral(".away"), listsNew));
    settle();
    EXPECT_EQ(app->problems(), QString());
    EXPECT_EQ(mail->count(), 1);
    deliver(at(QStringLiteral(".Lists")), QStringLiteral("list.host"));
    settle();
    EXPECT_EQ(mail->count(), 2);
}

TEST_F(ComingBack, ANewDirectoryClosedAndOpenedAgainAnnouncesNothingTwice)
{
    makeFolder(root());
    makeFolder(at(QStringLiteral(".Private")));
    QFile::setPermissions(base.path(), QFileDevice::Permissions(0x7777));
    for (const QString &dir : {QString(), QStringLiteral("/new"), QStringLiteral("/cur"), QStringLiteral("/.Private"),
                               QStringLiteral("/.Private/cur")})
        QFile::setPermissions(root() + dir, QFileDevice::Permissions(0x7777));
    const QString privateNew = at(QStringLiteral(".Private/new"));
    QFile::setPermissions(privateNew, QFileDevice::Permissions(0x7777));
    deliver(at(QStringLiteral(".Private")), QStringLiteral("p.host"));
    Unprivileged unprivileged;
    start();

    chmodAsOwner(privateNew, 0);
    settle();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("cannot be read"))) << app->problems().toStdString();
    chmodAsOwner(privateNew, 0x7777);
    vc.clock.advance(MaildirWatcher::RetryMs);
    settle();
    EXPECT_EQ(app->problems(), QString());
    EXPECT_EQ(mail->count(), 0) << "p.host was announced at start already";
}

TEST(MaildirWatcherProblems, NoInotifyIsToldAsAProblem)
{
#ifdef __SANITIZE_ADDRESS__
    // The sanitizers' type checks need a free descriptor themselves, which this test takes away.
    GTEST_SKIP() << "not in a sanitizer build";
#endif
    QTemporaryDir base;
    for (const char *sub : {"cur", "new", "tmp"})
        QDir().mkpath(base.path() + QLatin1Char('/') + QLatin1String(sub));
    // In a child: with no descriptor left to take, inotify cannot be had.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int next = dup(0);
        ::close(next);
        const rlimit limit{rlim_t(next), rlim_t(next)};
        setrlimit(RLIMIT_NOFILE, &limit);
        auto store = std::make_shared<MaildirStore>(base.path());
        MaildirWatcher watcher({store});
        _exit(watcher.problems().contains(QStringLiteral("cannot be watched (inotify")) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
