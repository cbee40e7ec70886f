// What the controller tells listeners outside the add-in (the session-bus interface): each
// message it queues, the unread count, and the changes of its quiet state.
#include "tests/addin/AddInFixture.h"

#include "tray/Main.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

using namespace lumora;
using namespace lumora::test;

namespace {

class ControllerSignals : public AddInFixture
{
protected:
    void SetUp() override
    {
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        ASSERT_TRUE(controller()->Enabled());
    }
    // Past the quiet time after a delivery, so the scan has run.
    void scan() { clock.advance(5000 + 1500); }
};

} // namespace

TEST_F(ControllerSignals, EachQueuedMessageIsToldOnceAndASnoozedScanQueuesNone)
{
    QSignalSpy queued(controller(), &OlAddIn::MessageQueued);
    deliver(QStringLiteral("first \u202Eevil"), clock.now());
    deliver(QStringLiteral("second"), clock.now());
    scan();
    ASSERT_EQ(queued.size(), 2);
    QStringList subjects;
    for (const QList<QVariant> &arguments : std::as_const(queued)) {
        EXPECT_EQ(arguments.at(0).toString(), inbox->Name());
        EXPECT_EQ(arguments.at(1).toString(), QStringLiteral("Ann Sender"));
        subjects << arguments.at(2).toString();
    }
    // As the store gives it: each surface cleans it for itself.
    subjects.sort();
    EXPECT_EQ(subjects, QStringList({QStringLiteral("first \u202Eevil"), QStringLiteral("second")}));

    // Not again on a later scan, and not while snoozed, when mail is only counted.
    controller()->Snooze(clock.now().addSecs(3600));
    deliver(QStringLiteral("third"), clock.now());
    scan();
    EXPECT_EQ(queued.size(), 2);
}

TEST_F(ControllerSignals, TheUnreadCountFollowsTheTrayAndIsToldOnChangeOnly)
{
    QSignalSpy changed(controller(), &OlAddIn::UnreadCountChanged);
    MemoryItemPtr first = deliver(QStringLiteral("one"), clock.now());
    deliver(QStringLiteral("two"), clock.now());
    clock.advance(300);
    EXPECT_EQ(controller()->property("UnreadCount").toInt(), 2);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.last().at(0).toInt(), 2);

    const qsizetype told = changed.size();
    scan();
    EXPECT_EQ(changed.size(), told);

    app.setUnread(first, false);
    clock.advance(300);
    EXPECT_EQ(controller()->UnreadCount(), 1);
    ASSERT_EQ(changed.size(), told + 1);
    EXPECT_EQ(changed.last().at(0).toInt(), 1);
}

TEST_F(ControllerSignals, SuspendResumeAndSnoozeAreTold)
{
    QSignalSpy quiet(controller(), &OlAddIn::QuietStateChanged);
    controller()->setEnabled(false);
    EXPECT_EQ(quiet.size(), 1);
    controller()->setEnabled(false);
    EXPECT_EQ(quiet.size(), 1);
    controller()->setEnabled(true);
    EXPECT_EQ(quiet.size(), 2);

    // Reached late-bound, as the host reaches the controller.
    const QDateTime until = clock.now().addSecs(900);
    ASSERT_TRUE(QMetaObject::invokeMethod(controller(), "Snooze", Q_ARG(QDateTime, until)));
    EXPECT_EQ(quiet.size(), 3);
    EXPECT_EQ(controller()->property("SnoozedUntil").toDateTime(), until);

    // Its end, when the time comes, is told too.
    clock.advance(900 * 1000 + 1);
    EXPECT_EQ(quiet.size(), 4);
    EXPECT_FALSE(controller()->property("SnoozedUntil").toDateTime().isValid());
}

// Suspended by another client than the tray menu, the menu and the icon show it as well,
// and the menu then resumes.
TEST_F(ControllerSignals, TheTrayFollowsASuspensionFromElsewhere)
{
    Main *main = controller()->mainForm();
    QAction *suspend = main->trayMenu()->findChild<QAction *>(QStringLiteral("mnuSuspend"));
    ASSERT_NE(suspend, nullptr);
    controller()->setEnabled(false);
    EXPECT_TRUE(suspend->isChecked());
    EXPECT_EQ(main->trayIconState(), 3);

    main->mnuSuspend_Click();
    EXPECT_TRUE(controller()->Enabled());
    EXPECT_FALSE(suspend->isChecked());
    EXPECT_EQ(main->trayIconState(), 0);

    // The menu's own way is unchanged.
    main->mnuSuspend_Click();
    EXPECT_FALSE(controller()->Enabled());
    EXPECT_TRUE(suspend->isChecked());
    EXPECT_EQ(main->trayIconState(), 3);
    controller()->setEnabled(true);
    EXPECT_FALSE(suspend->isChecked());
    EXPECT_EQ(main->trayIconState(), 0);
}
