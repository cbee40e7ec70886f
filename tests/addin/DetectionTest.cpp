#include "tests/addin/AddInFixture.h"

#include "platform/desktop/NotifyIcon.h"
#include "popup/PopupWindow.h"
#include "queue/Queue.h"
#include "tray/Main.h"

#include <QFile>

using namespace lumora;
using namespace lumora::test;

namespace {

// New-mail detection on the virtual clock: events, the 5 s quiet interval, the scan, the
// 1.5 s balloon countdown and the popup.
class Detection : public AddInFixture
{
protected:
    void SetUp() override
    {
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }

    QStringList queuedSubjects() const
    {
        QStringList subjects;
        for (const QString &line : trace) {
            if (!line.startsWith(QStringLiteral("queued:")))
                continue;
            const qsizetype at = line.indexOf(QStringLiteral("subject \""));
            subjects << line.mid(at + 9).section(QLatin1Char('"'), 0, 0);
        }
        return subjects;
    }
};

} // namespace

TEST_F(Detection, ABurstOfEventsGivesOneScanFiveSecondsAfterTheLast)
{
    deliver(QStringLiteral("one"), clock.now());
    clock.advance(1000);
    deliver(QStringLiteral("two"), clock.now());
    clock.advance(1000);
    deliver(QStringLiteral("three"), clock.now());
    EXPECT_EQ(traceCount(QStringLiteral("NewMail")), 3);
    clock.advance(4999);
    EXPECT_EQ(scans(), 0);
    clock.advance(1);
    EXPECT_EQ(scans(), 1);
    EXPECT_EQ(queuedSubjects(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(controller()->NewMsgCount(), 3);
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 1);
    // The popup follows 1.5 s later and presents the three as 1 of 3 .. 3 of 3.
    clock.advance(1499);
    EXPECT_FALSE(popup()->isShowing());
    clock.advance(1);
    EXPECT_TRUE(popup()->isShowing());
    drainPopup();
    EXPECT_EQ(addIn().queue->Size(), 0);
}

TEST_F(Detection, AScanWaitsWhileAPopupShows)
{
    deliver(QStringLiteral("first"), clock.now());
    clock.advance(5000 + 1500);
    ASSERT_TRUE(popup()->isShowing());
    deliver(QStringLiteral("second"), clock.now());
    clock.advance(5000);
    EXPECT_EQ(scans(), 1); // the popup still shows: the scan waits
    drainPopup();
    // The waiting timer ticks every 5 s; the first tick after the popup is gone scans.
    clock.advance(5000);
    EXPECT_EQ(scans(), 2);
    EXPECT_EQ(queuedSubjects(), (QStringList{"first", "second"}));
    clock.advance(1500);
    EXPECT_TRUE(popup()->isShowing());
}

TEST_F(Detection, ActiveMainWindowSuppressesScanAndPopupUntilDeactivated)
{
    explorer->activate();
    deliver(QStringLiteral("while active"), clock.now());
    clock.advance(5000);
    EXPECT_EQ(scans(), 0);
    EXPECT_EQ(addIn().queue->Size(), 0);
    explorer->deactivate();
    clock.advance(1000);
    deliver(QStringLiteral("after"), clock.now());
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), (QStringList{"while active", "after"}));
    // Activated again before the balloon fires: no popup, the balloon timer stops.
    explorer->activate();
    clock.advance(1500);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_FALSE(controller()->mainForm()->tmrBalloon().isEnabled());
    EXPECT_EQ(addIn().queue->Size(), 2);
}

TEST_F(Detection, DatesMoveForwardSoNothingIsReportedTwice)
{
    const QDateTime start = clock.now();
    deliver(QStringLiteral("old"), start.addSecs(-3 * 3600)); // exactly at the folder's date
    MemoryItemPtr item = deliver(QStringLiteral("new"), start);
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"new"});
    EXPECT_EQ(controller()->lastSeen(inbox->EntryID(), inbox->StoreID()), start);
    // Marked read, then unread again: not new.
    app.setUnread(item, false);
    app.setUnread(item, true);
    app.raiseNewMail();
    clock.advance(5000 + 1500);
    drainPopup();
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"new"});
}

TEST_F(Detection, MessagesOfTheSameInstantAndOutOfOrderAreAllReported)
{
    const QDateTime t = clock.now();
    deliver(QStringLiteral("a"), t);
    clock.advance(5000 + 1500);
    ASSERT_EQ(queuedSubjects(), QStringList{"a"});
    drainPopup();
    // A second message stamped with the same instant arrives later, then a store lists a
    // younger message before an older one.
    deliver(QStringLiteral("b, same instant"), t);
    deliver(QStringLiteral("d, younger"), t.addSecs(20));
    deliver(QStringLiteral("c, older"), t.addSecs(10));
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), (QStringList{"a", "b, same instant", "d, younger", "c, older"}));
    EXPECT_EQ(controller()->lastSeen(inbox->EntryID(), inbox->StoreID()), t.addSecs(20));
}

// Both messages of one instant are remembered, not just the last one queued: a later scan
// with nothing newer must report neither again.
TEST_F(Detection, TwoMessagesOfOneInstantAreNotReportedAgainByTheNextScan)
{
    const QDateTime t = clock.now();
    deliver(QStringLiteral("first"), t);
    deliver(QStringLiteral("second"), t);
    clock.advance(5000 + 1500);
    ASSERT_EQ(queuedSubjects(), (QStringList{"first", "second"}));
    drainPopup();
    app.raiseNewMail();
    clock.advance(5000 + 1500);
    EXPECT_EQ(scans(), 2);
    EXPECT_EQ(queuedSubjects(), (QStringList{"first", "second"}));
    EXPECT_EQ(controller()->lastSeen(inbox->EntryID(), inbox->StoreID()), t);
}

TEST_F(Detection, HighImportanceSetsIconTwoAndTheLastQueuedDecides)
{
    deliver(QStringLiteral("urgent"), clock.now(), 2);
    clock.advance(5000);
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 2);
    clock.advance(1500);
    drainPopup();
    deliver(QStringLiteral("normal"), clock.now(), 1);
    clock.advance(5000);
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 1);
}

TEST_F(Detection, NonMailItemsAreSkipped)
{
    MemoryItemData data;
    data.subject = QStringLiteral("meeting");
    data.itemType = host::AppointmentItemType;
    data.receivedTime = clock.now();
    app.deliver(inbox, data, true);
    deliver(QStringLiteral("mail"), clock.now());
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"mail"});
}

TEST_F(Detection, UnreadableItemIsQueuedWithWhatCouldBeRead)
{
    MemoryItemData data;
    data.subject = QStringLiteral("secret");
    data.receivedTime = clock.now();
    data.readsFail = true;
    app.deliver(inbox, data, true);
    clock.advance(5000);
    // Nothing could be read, not even its time: it is queued with empty text all the same,
    // and the folder's date stays where it was.
    const std::optional<QDateTime> date = controller()->lastSeen(inbox->EntryID(), inbox->StoreID());
    EXPECT_EQ(addIn().queue->Size(), 1);
    EXPECT_EQ(scans(), 1);
    ASSERT_TRUE(date.has_value());
    EXPECT_LT(*date, clock.now().addSecs(-3600));
}

TEST_F(Detection, ItemWithoutATimeIsQueuedOnceAndHidesNoLaterMail)
{
    deliver(QStringLiteral("no time"), clock.now())->setReceivedTime({});
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"no time"});
    clock.advance(1500);
    drainPopup();
    trace.clear();
    // An older dated message still counts: the undated one moved no date.
    deliver(QStringLiteral("dated"), clock.now().addSecs(-60));
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"dated"});
}

TEST_F(Detection, SuspendedAddInIgnoresNewMail)
{
    controller()->setEnabled(false);
    deliver(QStringLiteral("x"), clock.now());
    clock.advance(10000);
    EXPECT_EQ(scans(), 0);
    controller()->setEnabled(true);
    app.raiseNewMail();
    clock.advance(5000);
    EXPECT_EQ(queuedSubjects(), QStringList{"x"});
}

namespace {

class WatchedList : public AddInFixture
{};

} // namespace

TEST_F(WatchedList, InitSeedsOnceAndBrokenEntriesNeverQueue)
{
    MemoryFolderPtr other = app.addFolder(inbox, QStringLiteral("Lists"));
    watch({entryFor(inbox), other->EntryID(), QStringLiteral("A|B|C")});
    connectAddIn();
    EXPECT_EQ(controller()->watchedFolders().size(), 3);
    EXPECT_TRUE(controller()->lastSeen(inbox->EntryID(), inbox->StoreID()).has_value());
    EXPECT_FALSE(controller()->lastSeen(other->EntryID(), other->StoreID()).has_value());
    deliver(QStringLiteral("in lists"), clock.now(), 1, other);
    clock.advance(5000);
    EXPECT_EQ(addIn().queue->Size(), 0);
    // Init stays 0: a second start does not seed again.
    disconnectAddIn();
    connectAddIn();
    EXPECT_EQ(controller()->watchedFolders().size(), 3);
}

TEST_F(WatchedList, FolderWithoutDateIsLoggedOncePerScan)
{
    watch({entryFor(inbox) + QStringLiteral("|extra")});
    connectAddIn();
    deliver(QStringLiteral("x"), clock.now());
    clock.advance(5000);
    EXPECT_EQ(addIn().queue->Size(), 0);
    QFile log(dataFolder() + QStringLiteral("/Lumora.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_EQ(text.count("Date does not exist for folder:Personal Folders"), 1) << text.constData();
}

TEST_F(WatchedList, EmptyListStillCountsAndStartsTheBalloon)
{
    watch({});
    connectAddIn();
    controller()->GetNewMailMessages();
    EXPECT_EQ(controller()->NewMsgCount(), 0);
    EXPECT_TRUE(controller()->mainForm()->tmrBalloon().isEnabled());
    EXPECT_EQ(controller()->mainForm()->tmrBalloon().interval(), 1500);
}

TEST_F(WatchedList, ReloadingTheListKeepsDatesOfKeptFolders)
{
    MemoryFolderPtr other = app.addFolder(inbox, QStringLiteral("Work"));
    watch({entryFor(inbox)});
    connectAddIn();
    deliver(QStringLiteral("first"), clock.now());
    clock.advance(5000);
    const auto kept = controller()->lastSeen(inbox->EntryID(), inbox->StoreID());
    watch({entryFor(other), entryFor(inbox)});
    controller()->LoadFoldersToScan();
    EXPECT_EQ(controller()->lastSeen(inbox->EntryID(), inbox->StoreID()), kept);
    EXPECT_EQ(controller()->lastSeen(other->EntryID(), other->StoreID()), clock.now().addSecs(-3 * 3600));
    EXPECT_EQ(controller()->watchedFolders().first(), entryFor(other));
}

TEST_F(WatchedList, FirstStartWithNothingToSeedKeepsTheMarkerForTheNext)
{
    app.setNamespaceFails(true);
    connectAddIn();
    EXPECT_TRUE(controller()->watchedFolders().isEmpty());
    QFile ini(iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Init=1"));
    ini.close();
    disconnectAddIn();

    app.setNamespaceFails(false);
    connectAddIn();
    EXPECT_EQ(controller()->watchedFolders(), QStringList{entryFor(inbox)});
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Init=0"));
}

TEST_F(WatchedList, NoFolderFoundIsSaidInLogTraceAndTipAndEachMissingFolderLoggedOnce)
{
    watch({QStringLiteral("DEAD|BEEF")});
    connectAddIn();
    deliver(QStringLiteral("x"), clock.now());
    clock.advance(5000);
    deliver(QStringLiteral("y"), clock.now());
    clock.advance(5000);
    QFile log(dataFolder() + QStringLiteral("/Lumora.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_EQ(text.count("Folder not found: DEAD|BEEF"), 1) << text.constData();
    EXPECT_EQ(text.count("no folders watched: open Options"), 1) << text.constData();
    EXPECT_EQ(traceCount(QStringLiteral("no folders watched: open Options")), 1);
    EXPECT_TRUE(
        tray.tip(controller()->mainForm()->hWnd()).endsWith(QStringLiteral("no folders watched: open Options")));

    // Once a folder is found the note goes.
    watch({entryFor(inbox)});
    controller()->LoadFoldersToScan();
    EXPECT_FALSE(tray.tip(controller()->mainForm()->hWnd()).contains(QStringLiteral("no folders")));
}

TEST_F(WatchedList, AFolderOfAnotherStoreWatchedWhileRunningIsScannedOnTheNextNewMail)
{
    MemoryFolderPtr second = app.addStore(QStringLiteral("Archive"));
    MemoryFolderPtr lists = app.addFolder(second, QStringLiteral("Lists"));
    watch({entryFor(inbox)});
    connectAddIn();
    watch({entryFor(inbox), entryFor(lists)});
    controller()->LoadFoldersToScan();
    deliver(QStringLiteral("to the list"), clock.now(), 1, lists);
    clock.advance(5000);
    EXPECT_EQ(addIn().queue->Size(), 1);
}

namespace {

class HostIcon : public AddInFixture, public ::testing::WithParamInterface<int>
{};

} // namespace

// For host versions 9 and 10 new mail removes the host's own icon: the first untitled
// window of the host's class whose icon 0 can be deleted; other versions leave it.
TEST_P(HostIcon, NewMailRemovesTheHostsOwnIconOnlyForVersionsNineAndTen)
{
    const int major = GetParam();
    setHostVersion(major);
    windows.addWindow({0x101, QStringLiteral("Some editor"), QStringLiteral("rctrl_renwnd32")});
    windows.addWindow({0x102, QString(), QStringLiteral("rctrl_renwnd32")}); // no icon of its own
    windows.addWindow({0x103, QString(), QStringLiteral("rctrl_renwnd32")});
    windows.addWindow({0x104, QString(), QStringLiteral("rctrl_renwnd32")});
    for (HWND window : {HWND(0x101), HWND(0x103), HWND(0x104)}) {
        NOTIFYICONDATAA record;
        record.hWnd = window;
        record.uID = 0;
        ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    }
    connectAddIn();
    deliver(QStringLiteral("x"), clock.now());
    const bool removes = major == 9 || major == 10;
    EXPECT_TRUE(tray.hasIcon(0x101, 0)); // titled: not the host's hidden window
    EXPECT_EQ(tray.hasIcon(0x103, 0), !removes);
    EXPECT_TRUE(tray.hasIcon(0x104, 0)); // the enumeration stops at the first removal
}

INSTANTIATE_TEST_SUITE_P(Majors, HostIcon, ::testing::Values(9, 10, 11));
