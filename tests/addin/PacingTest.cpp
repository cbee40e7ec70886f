#include "tests/addin/AddInFixture.h"

#include "popup/PopupWindow.h"
#include "queue/Queue.h"
#include "tray/Main.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// How the add-in paces itself when mail does not come in tidy bursts: a steady stream,
// a suspension, a flood larger than the queue.
class Pacing : public AddInFixture
{
protected:
    void SetUp() override
    {
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }
};

} // namespace

// One delivery every 3 s never leaves 5 quiet seconds; the scan still comes 8 s after the
// first event, and the popup 1.5 s after that.
TEST_F(Pacing, ASteadyStreamIsScannedNoLaterThanEightSecondsAfterItsFirstMessage)
{
    int delivered = 0;
    auto deliverEvery3s = [&](qint64 untilMs) {
        while (clock.elapsed() < untilMs) {
            if (clock.elapsed() % 3000 == 0)
                deliver(QStringLiteral("m%1").arg(++delivered), clock.now());
            clock.advance(500);
        }
    };
    deliverEvery3s(7500);
    EXPECT_EQ(scans(), 0);
    deliverEvery3s(8000);
    EXPECT_EQ(scans(), 1);
    EXPECT_EQ(addIn().queue->Size(), 3); // m1 at 0 s, m2 at 3 s, m3 at 6 s
    deliverEvery3s(9500);
    EXPECT_TRUE(popup()->isShowing());

    // While the popup shows, the stream's events (past the new burst's deadline) cannot
    // make the waiting scan ask more often than the quiet interval.
    deliverEvery3s(18500);
    ASSERT_TRUE(popup()->isShowing());
    EXPECT_EQ(scans(), 1);
    EXPECT_EQ(main()->tmrMail().interval(), 5000);
    EXPECT_TRUE(main()->tmrMail().isEnabled());
}

// A burst that goes quiet in time still gets its one scan 5 s after the last event.
TEST_F(Pacing, AShortBurstStillWaitsForQuiet)
{
    deliver(QStringLiteral("a"), clock.now());
    clock.advance(2000);
    deliver(QStringLiteral("b"), clock.now());
    clock.advance(4999);
    EXPECT_EQ(scans(), 0);
    clock.advance(1);
    EXPECT_EQ(scans(), 1);
    EXPECT_EQ(addIn().queue->Size(), 2);
    // The next burst has its own deadline, counted from its own first event.
    clock.advance(1500);
    drainPopup();
    deliver(QStringLiteral("c"), clock.now());
    for (int i = 0; i < 3; ++i) {
        clock.advance(2500);
        deliver(QStringLiteral("d%1").arg(i), clock.now());
    }
    EXPECT_EQ(scans(), 1); // 7.5 s into the second burst
    clock.advance(500);
    EXPECT_EQ(scans(), 2);
}

TEST_F(Pacing, ResumingShowsWhatCameWhileSuspended)
{
    main()->mnuSuspend_Click();
    ASSERT_FALSE(controller()->Enabled());
    deliver(QStringLiteral("during the meeting"), clock.now());
    clock.advance(30 * 60 * 1000);
    deliver(QStringLiteral("near its end"), clock.now());
    clock.advance(60 * 1000);
    EXPECT_EQ(scans(), 0);
    EXPECT_EQ(main()->trayIconState(), 3);

    main()->mnuSuspend_Click();
    ASSERT_TRUE(controller()->Enabled());
    clock.advance(1000);
    EXPECT_EQ(scans(), 1);
    EXPECT_EQ(addIn().queue->Size(), 2);
    EXPECT_EQ(main()->trayIconState(), 1);
    clock.advance(1500);
    EXPECT_TRUE(popup()->isShowing());
    ASSERT_FALSE(popupLines().isEmpty());
    EXPECT_TRUE(popupLines().first().contains(QStringLiteral("1 of 2"))) << popupLines().first().toStdString();
    drainPopup();
    // Shown once: the next scan finds nothing new.
    app.raiseNewMail();
    clock.advance(5000);
    EXPECT_EQ(scans(), 2);
    EXPECT_EQ(addIn().queue->Size(), 0);
}

// A countdown under way when the user suspends would otherwise pop up while suspended.
TEST_F(Pacing, SuspendingStopsAScanAlreadyCountingDown)
{
    deliver(QStringLiteral("just before"), clock.now());
    clock.advance(2000);
    main()->mnuSuspend_Click();
    clock.advance(60 * 1000);
    EXPECT_EQ(scans(), 0);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(main()->trayIconState(), 3);
    main()->mnuSuspend_Click();
    clock.advance(1000 + 1500);
    EXPECT_EQ(addIn().queue->Size() + popupLines().size(), 1);
    EXPECT_TRUE(popup()->isShowing());
}

// Ten thousand arrivals: a thousand are shown one by one, the rest summed up in the last
// popup, and none of them is reported again later.
TEST_F(Pacing, AFloodBeyondTheQueueIsSummedUpAndNotReportedAgain)
{
    for (int i = 1; i <= 10000; ++i)
        deliver(QStringLiteral("flood %1").arg(i), clock.now().addMSecs(i - 10000), i == 10000 ? 2 : 1);
    trace.clear();
    clock.advance(5000);
    ASSERT_EQ(scans(), 1);
    EXPECT_EQ(addIn().queue->Size(), 1001);
    EXPECT_EQ(controller()->NewMsgCount(), 1001);
    EXPECT_EQ(addIn().queue->SummedUp(), 9000);
    EXPECT_TRUE(trace.filter(QStringLiteral("scan:")).first().contains(QStringLiteral("sums up 9000")));
    EXPECT_EQ(main()->trayIconState(), 2); // the last one was important

    clock.advance(1500);
    ASSERT_TRUE(popup()->isShowing());
    // Skip to the last message shown on its own, then let the popup show the rest.
    for (int i = 0; i < 998; ++i)
        addIn().queue->Remove();
    drainPopup();
    const QStringList shown = popupLines();
    ASSERT_GE(shown.size(), 3);
    EXPECT_TRUE(shown.at(0).contains(QStringLiteral("1 of 1001")));
    EXPECT_TRUE(shown.at(shown.size() - 2).contains(QStringLiteral("1000 of 1001, folder \"Personal Folders\"")));
    EXPECT_TRUE(shown.last().contains(QStringLiteral("1001 of 1001")));
    EXPECT_TRUE(shown.last().contains(QStringLiteral("subject \"and 9000 more messages\"")))
        << shown.last().toStdString();

    app.raiseNewMail();
    clock.advance(5000);
    EXPECT_EQ(scans(), 2);
    EXPECT_EQ(addIn().queue->Size(), 0);
}
