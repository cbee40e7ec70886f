#include "tests/addin/AddInFixture.h"

#include "popup/PopupWindow.h"
#include "queue/Queue.h"
#include "tray/Main.h"

#include <QAction>
#include <QMenu>

using namespace lumora;
using namespace lumora::test;

namespace {

// Snoozing from the tray menu: popups wait, mail is still counted, and one popup run
// after the snooze shows what is still unread.
class Snooze : public AddInFixture
{
protected:
    void SetUp() override
    {
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }

    QAction *item(const char *name) const { return main()->snoozeMenu()->findChild<QAction *>(QLatin1String(name)); }
    // Opens the submenu as the tray would, so its items are as the user sees them.
    void openSnoozeMenu() const { Q_EMIT main()->snoozeMenu()->aboutToShow(); }
};

} // namespace

TEST_F(Snooze, MailThatComesIsCountedAndShownInOneRunWhenTheSnoozeEnds)
{
    item("mnuSnooze15")->trigger();
    EXPECT_EQ(main()->tipNote(), QStringLiteral("Snoozed until 09:15"));

    deliver(QStringLiteral("first"), clock.now());
    clock.advance(5000 + 1500);
    EXPECT_EQ(scans(), 1);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(controller()->NewMsgCount(), 1);
    EXPECT_EQ(main()->trayIconState(), 1);

    clock.advance(5 * 60 * 1000);
    deliver(QStringLiteral("second"), clock.now(), 2);
    clock.advance(5000);
    const MemoryItemPtr third = deliver(QStringLiteral("read meanwhile"), clock.now());
    clock.advance(5000 + 1500);
    EXPECT_EQ(scans(), 3);
    EXPECT_EQ(controller()->NewMsgCount(), 3);
    EXPECT_EQ(main()->trayIconState(), 1);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_TRUE(sound.calls.isEmpty());
    third->setUnread(false);

    // 09:15: the snooze ends, one scan follows, then one popup run of the unread two.
    clock.advance(controller()->SnoozedUntil().toMSecsSinceEpoch() - clock.now().toMSecsSinceEpoch());
    EXPECT_FALSE(controller()->SnoozedUntil().isValid());
    EXPECT_EQ(main()->tipNote(), QString());
    clock.advance(1000 + 1500);
    EXPECT_EQ(scans(), 4);
    ASSERT_TRUE(popup()->isShowing());
    drainPopup();
    const QStringList shown = popupLines();
    ASSERT_EQ(shown.size(), 2) << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("1 of 2")));
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("\"first\"")));
    EXPECT_TRUE(shown.at(1).contains(QStringLiteral("\"second\"")));
    EXPECT_EQ(sound.calls.size(), 1);

    // Shown once: later mail events find nothing new.
    app.raiseNewMail();
    clock.advance(5000 + 1500);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(addIn().queue->Size(), 0);
}

// A popup countdown already running when the user snoozes must not show.
TEST_F(Snooze, ResumeNowEndsItAtOnceAndAPendingPopupWaitsForIt)
{
    deliver(QStringLiteral("just before"), clock.now());
    clock.advance(5000);
    ASSERT_EQ(addIn().queue->Size(), 1);
    openSnoozeMenu();
    EXPECT_FALSE(item("mnuSnoozeEnd")->isVisible());
    item("mnuSnooze240")->trigger();
    clock.advance(1500 + 60 * 1000);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(main()->tipNote(), QStringLiteral("Snoozed until 13:00"));

    openSnoozeMenu();
    ASSERT_TRUE(item("mnuSnoozeEnd")->isVisible());
    item("mnuSnoozeEnd")->trigger();
    EXPECT_EQ(main()->tipNote(), QString());
    clock.advance(1000 + 1500);
    ASSERT_TRUE(popup()->isShowing());
    drainPopup();
    EXPECT_EQ(popupLines().size(), 1);
    openSnoozeMenu();
    EXPECT_FALSE(item("mnuSnoozeEnd")->isVisible());
}

TEST_F(Snooze, UntilTomorrowEndsAtEightTheNextMorning)
{
    EXPECT_EQ(Main::tomorrowMorning(QDateTime(QDate(2026, 1, 5), QTime(23, 30))),
              QDateTime(QDate(2026, 1, 6), QTime(8, 0)));
    EXPECT_EQ(Main::tomorrowMorning(QDateTime(QDate(2026, 12, 31), QTime(0, 10))),
              QDateTime(QDate(2027, 1, 1), QTime(8, 0)));

    item("mnuSnoozeTomorrow")->trigger();
    EXPECT_EQ(controller()->SnoozedUntil(), QDateTime(QDate(2026, 1, 6), QTime(8, 0)));
    EXPECT_EQ(main()->tipNote(), QStringLiteral("Snoozed until 08:00"));
    deliver(QStringLiteral("overnight"), clock.now());
    clock.advance(23LL * 3600 * 1000 - 1000);
    EXPECT_TRUE(controller()->SnoozedUntil().isValid());
    EXPECT_EQ(scans(), 1); // counted only
    EXPECT_FALSE(popup()->isShowing());
    clock.advance(1000 + 1000 + 1500);
    EXPECT_TRUE(popup()->isShowing());
    EXPECT_EQ(scans(), 2);
}

// Suspend stays as it is: a snooze that ends while suspended shows nothing until resumed.
TEST_F(Snooze, ASnoozeEndingWhileSuspendedWaitsForTheResume)
{
    main()->mnuSnooze_Click(15);
    main()->mnuSuspend_Click();
    deliver(QStringLiteral("meanwhile"), clock.now());
    clock.advance(20 * 60 * 1000);
    EXPECT_FALSE(controller()->SnoozedUntil().isValid());
    EXPECT_EQ(scans(), 0);
    EXPECT_FALSE(popup()->isShowing());
    main()->mnuSuspend_Click();
    clock.advance(1000 + 1500);
    EXPECT_TRUE(popup()->isShowing());
}
