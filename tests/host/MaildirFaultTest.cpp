// The Maildir host when the world is not kind: mail waiting at start, programs that do not
// exist, messages that vanish under it, folders it may not read.
#include "tests/host/FakeDesktopHandlers.h"
#include "tests/host/MaildirTree.h"

#include "host/common/HexText.h"
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirFolderIndex.h"
#include "host/maildir/MaildirStore.h"
#include "host/maildir/MaildirWatcher.h"
#include "tests/testsupport/Unprivileged.h"
#include "tests/testsupport/VirtualClock.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::asOwner;
using lumora::test::chmodAsOwner;
using lumora::test::MaildirTree;
using lumora::test::Unprivileged;

namespace {

constexpr qint64 T0 = 1767600000;

QStringList unreadSubjects(MaildirApplication &app, const QString &folderName = {})
{
    host::FolderPtr folder = app.session()->GetDefaultFolder(host::FolderInbox);
    if (!folderName.isEmpty()) {
        host::FoldersPtr children = folder->folders();
        host::FolderPtr found;
        for (int i = 1; i <= children->Count(); ++i) {
            if (children->Item(i)->Name() == folderName)
                found = children->Item(i);
        }
        folder = found;
    }
    QStringList subjects;
    if (!folder)
        return subjects;
    host::ItemsPtr items = folder->items();
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext())
        subjects << i->Subject();
    return subjects;
}

// Lets inotify's events reach the watcher (the virtual clock does not move meanwhile).
void letEventsIn()
{
    QTest::qWait(100);
}

} // namespace

TEST(MaildirStartup, MailWaitingInNewIsAnnouncedOnceShortlyAfterStart)
{
    VirtualClockScope vc;
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Lists"));
    tree.put(QStringLiteral(".Lists"), QStringLiteral("new"), QStringLiteral("w.host"), "Subject: waiting\n\n");
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);
    vc.clock.advance(MaildirApplication::StartupCheckMs - 1);
    EXPECT_EQ(spy.count(), 0); // the add-ins connect first
    vc.clock.advance(1);
    EXPECT_EQ(spy.count(), 1);
    vc.clock.advance(60000);
    EXPECT_EQ(spy.count(), 1);
}

TEST(MaildirStartup, NothingIsAnnouncedWhenOnlyCurHoldsMail)
{
    VirtualClockScope vc;
    MaildirTree tree;
    tree.put({}, QStringLiteral("cur"), QStringLiteral("seen.host:2,"), "Subject: unread in cur\n\n");
    MaildirApplication app({tree.root()});
    QSignalSpy spy(&app, &host::Application::NewMail);
    vc.clock.advance(60000);
    EXPECT_EQ(spy.count(), 0);
}

TEST(MaildirFaults, ActionsThatCannotBeDoneSayWhy)
{
    MaildirTree tree;
    tree.put({}, QStringLiteral("new"), QStringLiteral("a.host"), "Subject: a\n\n", T0);
    MaildirApplication app({tree.root()});
    app.setDisplayCommand(QStringLiteral("no-such-viewer-xyz --open %f"));
    host::ItemPtr item =
        app.session()->GetDefaultFolder(host::FolderInbox)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->Display());
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("no-such-viewer-xyz --open %f")))
        << item->ErrorText().toStdString();
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("not found"), Qt::CaseInsensitive));

    // Removed behind the host's back: the delete fails and says so; nothing lands in Trash.
    QFile::remove(tree.root() + QStringLiteral("/new/a.host"));
    EXPECT_FALSE(item->Delete());
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("gone"))) << item->ErrorText().toStdString();
    EXPECT_TRUE(QDir(tree.root() + QStringLiteral("/.Trash/cur")).entryList(QDir::Files).isEmpty());

    // A new mail with a mail client known but no composer installed.
    lumora::test::FakeDesktopHandlers handlers;
    handlers.installAll(QStringLiteral("/usr/share/applications/any.desktop"));
    qputenv("PATH", QByteArray("/nonexistent"));
    host::ItemPtr draft = app.CreateItem(host::MailItemType);
    const bool composed = draft->Display();
    qputenv("PATH", QByteArray("/usr/local/bin:/usr/bin:/bin"));
    EXPECT_FALSE(composed);
    EXPECT_TRUE(draft->ErrorText().contains(QStringLiteral("xdg-email"))) << draft->ErrorText().toStdString();
}

TEST(MaildirFaults, FilesVanishingMidScanAreSkippedAndNothingElseIsLost)
{
    MaildirTree tree;
    for (int i = 0; i < 20; ++i)
        tree.put({}, QStringLiteral("new"), QStringLiteral("m%1.host").arg(i, 2, 10, QLatin1Char('0')),
                 "Subject: m" + QByteArray::number(i) + "\n\n", T0 + i);
    MaildirApplication app({tree.root()});
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    QStringList subjects;
    int n = 0;
    for (host::ItemPtr i = items->Find(QStringLiteral("[Unread] = true")); i; i = items->FindNext(), ++n) {
        // Every other file is taken away (a mail client expunging) while the scan walks.
        if (n % 2 == 0)
            QFile::remove(tree.root() + QStringLiteral("/new/m%1.host").arg(n + 1, 2, 10, QLatin1Char('0')));
        subjects << i->Subject();
    }
    // Each surviving message is read whole; a vanished one reads empty, never another's text.
    for (const QString &s : std::as_const(subjects))
        EXPECT_TRUE(s.isEmpty() || s.startsWith(QLatin1Char('m'))) << s.toStdString();
    EXPECT_GE(subjects.count(QStringLiteral("m0")), 1);
    EXPECT_EQ(QDir(tree.root() + QStringLiteral("/new")).entryList(QDir::Files).size(), 10);
    app.checkForChanges();
    EXPECT_EQ(unreadSubjects(app).size(), 10);
}

TEST(MaildirFaults, AFolderThatMayNotBeReadLeavesTheOthersWatched)
{
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Private"));
    tree.put({}, QStringLiteral("new"), QStringLiteral("in.host"), "Subject: inbox\n\n", T0);
    tree.put(QStringLiteral(".Private"), QStringLiteral("new"), QStringLiteral("p.host"), "Subject: private\n\n", T0);
    // Open to everyone but the one folder.
    for (const QString &dir : {QString(), QStringLiteral("/new"), QStringLiteral("/cur"), QStringLiteral("/tmp")})
        QFile::setPermissions(tree.root() + dir, QFileDevice::Permissions(0x7777));
    QFile::setPermissions(tree.root() + QStringLiteral("/new/in.host"), QFileDevice::Permissions(0x6666));
    QFile::setPermissions(tree.root() + QStringLiteral("/.Private"), QFileDevice::Permissions());

    {
        Unprivileged unprivileged;
        MaildirApplication app({tree.root()});
        EXPECT_EQ(unreadSubjects(app), QStringList{QStringLiteral("inbox")});
        EXPECT_TRUE(unreadSubjects(app, QStringLiteral("Private")).isEmpty());
        app.checkForChanges(); // no crash, no endless retries
    }
    QFile::setPermissions(tree.root() + QStringLiteral("/.Private"), QFileDevice::Permissions(0x7700));
    MaildirApplication again({tree.root()});
    EXPECT_EQ(unreadSubjects(again, QStringLiteral("Private")), QStringList{QStringLiteral("private")});
}

TEST(MaildirFaults, AFolderThatMayNotBeReadIsToldAndReadOnceItMay)
{
    VirtualClockScope vc;
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Private"));
    for (const QString &dir : {QString(), QStringLiteral("/new"), QStringLiteral("/cur"), QStringLiteral("/tmp"),
                               QStringLiteral("/.Private/new"), QStringLiteral("/.Private/cur")})
        QFile::setPermissions(tree.root() + dir, QFileDevice::Permissions(0x7777));
    tree.put(QStringLiteral(".Private"), QStringLiteral("new"), QStringLiteral("p.host"), "Subject: private\n\n", T0);
    const QString privatePath = tree.root() + QStringLiteral("/.Private");
    QFile::setPermissions(privatePath, QFileDevice::Permissions());

    Unprivileged unprivileged;
    MaildirApplication app({tree.root()});
    vc.clock.advance(MaildirApplication::StartupCheckMs); // nothing readable waits
    QSignalSpy mail(&app, &host::Application::NewMail);
    QSignalSpy problems(&app, &MailApplication::problemsChanged);
    const QString told = QStringLiteral("The mail folder %1 cannot be read: Permission denied. Its new mail is "
                                        "announced once it can be read.")
                             .arg(privatePath);
    EXPECT_EQ(app.problems(), told);

    // Mail delivered elsewhere meanwhile is announced as always.
    tree.put({}, QStringLiteral("new"), QStringLiteral("in.host"), "Subject: inbox\n\n", T0);
    letEventsIn();
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 1);
    EXPECT_EQ(unreadSubjects(app), QStringList{QStringLiteral("inbox")});

    // The folder's permission comes back: the watch on the store sees it, the problem is
    // over, and the mail that waited there is announced.
    chmodAsOwner(privatePath, 0x7777);
    letEventsIn();
    EXPECT_EQ(app.problems(), QString());
    ASSERT_EQ(problems.count(), 1);
    EXPECT_EQ(problems.at(0).at(0).toString(), QString());
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 2);
    EXPECT_EQ(unreadSubjects(app, QStringLiteral("Private")), QStringList{QStringLiteral("private")});

    // Its new/ is closed while Lumora runs: the watch on it sees that, and the user is told.
    const QString privateNew = privatePath + QStringLiteral("/new");
    chmodAsOwner(privateNew, 0);
    letEventsIn();
    EXPECT_EQ(app.problems(), told);
    EXPECT_EQ(problems.count(), 2);
    // Opened again, and mail delivered, where no watch sees it: the retry finds both.
    chmodAsOwner(privateNew, 0x7777);
    tree.put(QStringLiteral(".Private"), QStringLiteral("new"), QStringLiteral("q.host"), "Subject: second\n\n",
             T0 + 1);
    letEventsIn();
    EXPECT_EQ(app.problems(), told);
    vc.clock.advance(MaildirWatcher::RetryMs);
    EXPECT_EQ(app.problems(), QString());
    EXPECT_EQ(problems.count(), 3);
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 3);
    QStringList subjects = unreadSubjects(app, QStringLiteral("Private"));
    subjects.sort();
    EXPECT_EQ(subjects, (QStringList{QStringLiteral("private"), QStringLiteral("second")}));
}

TEST(MaildirFaults, AStoreThatMayNotBeReadIsToldUntilItMay)
{
    VirtualClockScope vc;
    MaildirTree tree;
    tree.put({}, QStringLiteral("new"), QStringLiteral("in.host"), "Subject: waiting\n\n", T0);
    QFile::setPermissions(tree.root() + QStringLiteral("/new/in.host"), QFileDevice::Permissions(0x6666));
    QFile::setPermissions(tree.root() + QStringLiteral("/new"), QFileDevice::Permissions(0x7777));
    QFile::setPermissions(tree.root(), QFileDevice::Permissions());

    Unprivileged unprivileged;
    MaildirApplication app({tree.root()});
    vc.clock.advance(MaildirApplication::StartupCheckMs);
    QSignalSpy mail(&app, &host::Application::NewMail);
    EXPECT_TRUE(app.problems().startsWith(
        QStringLiteral("The mail folder %1 cannot be read: Permission denied.").arg(tree.root())))
        << app.problems().toStdString();
    EXPECT_EQ(app.problems().count(QLatin1Char('\n')), 0); // one line for the store, not one per directory
    EXPECT_EQ(mail.count(), 0);

    chmodAsOwner(tree.root(), 0x7777);
    vc.clock.advance(MaildirWatcher::RetryMs);
    EXPECT_EQ(app.problems(), QString());
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 1);
    EXPECT_EQ(unreadSubjects(app), QStringList{QStringLiteral("waiting")});

    // Watched again: the next delivery is seen by inotify.
    tree.put({}, QStringLiteral("new"), QStringLiteral("next.host"), "Subject: next\n\n", T0 + 1);
    letEventsIn();
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 2);
}

TEST(MaildirFaults, AStoreClosedWhileRunningIsListedWholeOnceItOpens)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can deliver into a store its owner has closed";
    VirtualClockScope vc;
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Lists"));
    QFile::setPermissions(tree.root(), QFileDevice::Permissions(0x7755));
    Unprivileged unprivileged;
    MaildirApplication app({tree.root()});
    vc.clock.advance(MaildirApplication::StartupCheckMs);
    QSignalSpy mail(&app, &host::Application::NewMail);
    EXPECT_EQ(app.problems(), QString());

    chmodAsOwner(tree.root(), 0);
    letEventsIn();
    EXPECT_TRUE(app.problems().startsWith(QStringLiteral("The mail folder %1 cannot be read").arg(tree.root())))
        << app.problems().toStdString();
    // Delivered while closed: the folder's watch reports it, but the file cannot be looked at.
    asOwner([&] {
        tree.put(QStringLiteral(".Lists"), QStringLiteral("new"), QStringLiteral("l.host"), "Subject: list\n\n", T0);
    });
    letEventsIn();
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 0);

    chmodAsOwner(tree.root(), 0x7755);
    letEventsIn();
    EXPECT_EQ(app.problems(), QString());
    vc.clock.advance(MaildirWatcher::QuietMs);
    EXPECT_EQ(mail.count(), 1);
    EXPECT_EQ(unreadSubjects(app, QStringLiteral("Lists")), QStringList{QStringLiteral("list")});
}

// Found by fuzzing: hex that decodes to broken UTF-8 named a file that could never be
// found again under the id it was read from.
TEST(MaildirIds, IdsThatAreNotUtf8TextAreRefused)
{
    QString dir;
    QString uniqueName;
    EXPECT_FALSE(MaildirStore::parseItemEntryId(QStringLiteral("4D2F313730303030303697115E4D3150312E686F7374"), &dir,
                                                &uniqueName));
    EXPECT_FALSE(MaildirStore::parseFolderEntryId(QStringLiteral("46FF"), &dir));
    const QString id = MaildirStore::itemEntryId(QStringLiteral(".Été"), QStringLiteral("1.M1P1.host"));
    ASSERT_TRUE(MaildirStore::parseItemEntryId(id, &dir, &uniqueName));
    EXPECT_EQ(dir, QStringLiteral(".Été"));
    EXPECT_EQ(uniqueName, QStringLiteral("1.M1P1.host"));
}

// An id names its text exactly: a leading U+FEFF is not dropped on the way back.
TEST(MaildirIds, TextComesBackWithALeadingByteOrderMark)
{
    const QString text = QStringLiteral("\uFEFF.Lists");
    QString back;
    ASSERT_TRUE(HexText::decode(HexText::encode(text), &back));
    EXPECT_EQ(back, text);
}

// Found by fuzzing: eleven digits of seconds overflowed the delivery time in nanoseconds.
TEST(MaildirIds, DeliveryTimesBeyondWhatCanBeHeldAreUnknown)
{
    EXPECT_EQ(MaildirFolderIndex::deliveryTimeNs(QStringLiteral("17000000000.M123456P1.host")), 0);
    EXPECT_EQ(MaildirFolderIndex::deliveryTimeNs(QStringLiteral("1700000000.M123456P1.host")),
              1700000000LL * 1000000000LL + 123456000LL);
}
