// New mail as desktop notifications: the queue's order and numbering, the actions reaching
// the controller, the pacing when the service closes nothing, and a missing service.
#include "popup/NotificationPresenter.h"
#include "tests/popup/PopupFixture.h"
#include "tests/testsupport/FakeDesktopNotifications.h"
#include "tests/testsupport/HostileText.h"
#include "tests/testsupport/TraceCapture.h"

using namespace lumora;
using namespace lumora::test;

namespace {

class NotificationPresenterTest : public PopupFixture
{
protected:
    FakeDesktopNotifications service;
    NotificationPresenter presenter;
};

} // namespace

TEST_F(NotificationPresenterTest, ShowsTheQueueOneAtATimeInOrderWithItsCounter)
{
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    add(QStringLiteral("Bob"), QStringLiteral("second"), 2, QStringLiteral("Work"));
    add(QStringLiteral("Cy"), QStringLiteral("third"));
    presenter.Show();
    ASSERT_EQ(service.shown.size(), 1);
    EXPECT_TRUE(presenter.isShowing());
    EXPECT_EQ(service.shown[0].summary, QStringLiteral("New mail: 1 of 3"));
    EXPECT_EQ(service.shown[0].body, QStringLiteral("Folder: Inbox\nFrom: Ann\nSubject: first"));
    EXPECT_EQ(service.shown[0].actionKeys, QStringList({QStringLiteral("open"), QStringLiteral("delete")}));
    EXPECT_EQ(service.shown[0].timeoutMs, addIn().settings.MessageDelay);
    // The sound plays once for the whole showing.
    EXPECT_EQ(sound.calls.size(), 1);

    // A second Show while one runs starts nothing.
    presenter.Show();
    EXPECT_EQ(service.shown.size(), 1);

    service.dismiss();
    ASSERT_EQ(service.shown.size(), 2);
    EXPECT_EQ(service.shown[1].summary, QStringLiteral("Important mail: 2 of 3"));
    EXPECT_TRUE(service.shown[1].body.startsWith(QStringLiteral("Folder: Work\nFrom: Bob")));
    service.dismiss();
    ASSERT_EQ(service.shown.size(), 3);
    EXPECT_EQ(service.shown[2].summary, QStringLiteral("New mail: 3 of 3"));
    service.dismiss();
    EXPECT_EQ(service.shown.size(), 3);
    EXPECT_FALSE(presenter.isShowing());
    EXPECT_EQ(sound.calls.size(), 1);
    EXPECT_TRUE(controller.calls.isEmpty());

    // A later delivery starts a new run, numbered from 1.
    add(QStringLiteral("Di"), QStringLiteral("fourth"));
    presenter.Show();
    ASSERT_EQ(service.shown.size(), 4);
    EXPECT_EQ(service.shown[3].summary, QStringLiteral("New mail: 1 of 1"));
}

TEST_F(NotificationPresenterTest, OpenAndDeleteCallTheControllerForTheirOwnMessage)
{
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    add(QStringLiteral("Bob"), QStringLiteral("second"));
    presenter.Show();
    service.invoke(QStringLiteral("open"));
    ASSERT_EQ(controller.calls.size(), 1);
    EXPECT_EQ(controller.calls[0].what, QStringLiteral("show"));
    EXPECT_EQ(controller.calls[0].entryId, QStringLiteral("eid-first"));
    EXPECT_EQ(controller.calls[0].storeId, QStringLiteral("sid-first"));

    // The next message follows once the first is acted on.
    ASSERT_EQ(service.shown.size(), 2);
    service.invoke(QStringLiteral("delete"));
    ASSERT_EQ(controller.calls.size(), 2);
    EXPECT_EQ(controller.calls[1].what, QStringLiteral("delete"));
    EXPECT_EQ(controller.calls[1].entryId, QStringLiteral("eid-second"));
    EXPECT_FALSE(presenter.isShowing());

    // An action arriving late for a notification already replaced does nothing.
    Q_EMIT service.actionInvoked(1, QStringLiteral("delete"));
    EXPECT_EQ(controller.calls.size(), 2);
}

TEST_F(NotificationPresenterTest, DeleteIsOfferedOnlyWhereThePopupOffersIt)
{
    addIn().settings.PopupDelete = 0;
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    presenter.Show();
    ASSERT_EQ(service.shown.size(), 1);
    EXPECT_EQ(service.shown[0].actionKeys, QStringList({QStringLiteral("open")}));
}

TEST_F(NotificationPresenterTest, TheQueueMovesOnWhenTheServiceNeverReportsAClose)
{
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    add(QStringLiteral("Bob"), QStringLiteral("second"));
    presenter.Show();
    const int time = addIn().settings.MessageDelay;
    clock.advance(time);
    EXPECT_EQ(service.shown.size(), 1);
    clock.advance(2000);
    ASSERT_EQ(service.shown.size(), 2);
    // Ours is withdrawn before the next shows, so only one stands at a time.
    EXPECT_EQ(service.openCount(), 1);
    clock.advance(time + 2000);
    EXPECT_FALSE(presenter.isShowing());
    EXPECT_EQ(service.openCount(), 0);
}

TEST_F(NotificationPresenterTest, WithoutAServiceTheQueueStillDrainsAndNothingIsClaimed)
{
    service.available = false;
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    add(QStringLiteral("Bob"), QStringLiteral("second"));
    presenter.Show();
    EXPECT_TRUE(presenter.isShowing());
    clock.advance(2 * (addIn().settings.MessageDelay + 2000));
    EXPECT_FALSE(presenter.isShowing());
    EXPECT_EQ(queue.Size(), 0);
    EXPECT_TRUE(controller.calls.isEmpty());
}

TEST_F(NotificationPresenterTest, TheTestNotificationHasNoActionsAndAnEmptyQueueShowsNothing)
{
    presenter.Show();
    EXPECT_TRUE(service.shown.isEmpty());
    EXPECT_FALSE(presenter.isShowing());

    presenter.ShowTest();
    ASSERT_EQ(service.shown.size(), 1);
    EXPECT_EQ(service.shown[0].summary, QStringLiteral("New mail: 1 of 1"));
    EXPECT_TRUE(service.shown[0].actionKeys.isEmpty());
    service.dismiss();
    EXPECT_FALSE(presenter.isShowing());
}

TEST_F(NotificationPresenterTest, StoppingWithdrawsTheNotificationAndKeepsTheRest)
{
    add(QStringLiteral("Ann"), QStringLiteral("first"));
    add(QStringLiteral("Bob"), QStringLiteral("second"));
    presenter.Show();
    presenter.Stop();
    EXPECT_FALSE(presenter.isShowing());
    EXPECT_EQ(service.openCount(), 0);
    EXPECT_EQ(service.shown.size(), 1);
    EXPECT_EQ(queue.Size(), 1);
}

// The notification shows mail text as cleanly as the popup: nothing invisible, nothing
// that reorders the line.
TEST_F(NotificationPresenterTest, InvisibleAndReorderingCharactersAreDropped)
{
    add(QStringLiteral("pay\u00ADpal"), QStringLiteral("invoice\u202Efdp.exe"));
    presenter.Show();
    ASSERT_EQ(service.shown.size(), 1);
    EXPECT_EQ(service.shown[0].body, QStringLiteral("Folder: Inbox\nFrom: paypal\nSubject: invoicefdp.exe"));
}

// Every hostile row, as folder, sender and subject at once: the notification and its trace
// line show the cleaned, capped text and nothing that acts on what is around it.
TEST_F(NotificationPresenterTest, HostileTextReachesNeitherTheNotificationNorTheTrace)
{
    for (const HostileRow &row : hostileRows()) {
        TraceCapture trace;
        add(row.text, row.text, 1, row.text);
        presenter.Show();
        ASSERT_FALSE(service.shown.isEmpty()) << row.name;
        const QString body = service.shown.last().body;
        EXPECT_EQ(body, QStringLiteral("Folder: %1\nFrom: %1\nSubject: %1").arg(row.shown)) << row.name;
        EXPECT_TRUE(holdsNothingHostile(body, true)) << row.name;
        const QStringList lines = trace.lines().filter(QStringLiteral("notification: "));
        ASSERT_EQ(lines.size(), 1) << row.name << trace.lines().join('\n').toStdString();
        EXPECT_TRUE(holdsNothingHostile(lines[0])) << row.name;
        EXPECT_TRUE(lines[0].contains(QStringLiteral("subject \"%1\"").arg(row.shown))) << row.name;
        presenter.Stop();
    }
}
