#include "tests/testsupport/VirtualClock.h"
#include "platform/core/Timer.h"

#include <gtest/gtest.h>

using lumora::Timer;
using lumora::VirtualClock;

TEST(VirtualClock, IntervalZeroNeverTicksAndEnabledTimerTicksPeriodically)
{
    VirtualClock clock;
    auto timer = clock.createTimer();
    int ticks = 0;
    QObject::connect(timer.get(), &Timer::tick, [&] { ++ticks; });
    timer->setEnabled(true);
    clock.advance(10000);
    EXPECT_EQ(ticks, 0);
    timer->setInterval(50);
    clock.advance(49);
    EXPECT_EQ(ticks, 0);
    clock.advance(1);
    EXPECT_EQ(ticks, 1);
    clock.advance(500);
    EXPECT_EQ(ticks, 11);
}

TEST(VirtualClock, AssigningIntervalRestartsCountdown)
{
    VirtualClock clock;
    auto timer = clock.createTimer();
    int ticks = 0;
    QObject::connect(timer.get(), &Timer::tick, [&] { ++ticks; });
    timer->restart(5000);
    clock.advance(4000);
    timer->setInterval(5000); // a new NewMail event pushes the scan back
    clock.advance(4000);
    EXPECT_EQ(ticks, 0);
    clock.advance(1000);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(clock.elapsed(), 9000);
}

TEST(VirtualClock, TickHandlersMayStopOrDeleteTimersAndTimeMoves)
{
    VirtualClock clock;
    const QDateTime start = clock.now();
    auto a = clock.createTimer();
    auto b = clock.createTimer();
    int aTicks = 0;
    int bTicks = 0;
    QObject::connect(a.get(), &Timer::tick, [&] {
        ++aTicks;
        a->setEnabled(false);
        b.reset();
    });
    QObject::connect(b.get(), &Timer::tick, [&] { ++bTicks; });
    a->restart(100);
    b->restart(200);
    clock.advance(1000);
    EXPECT_EQ(aTicks, 1);
    EXPECT_EQ(bTicks, 0);
    EXPECT_EQ(start.msecsTo(clock.now()), 1000);
}

TEST(VirtualClock, ClockInstanceCanBeReplacedAndRestored)
{
    VirtualClock clock;
    lumora::Clock::setInstance(&clock);
    EXPECT_EQ(&lumora::Clock::instance(), &clock);
    lumora::Clock::setInstance(nullptr);
    EXPECT_NE(&lumora::Clock::instance(), &clock);
}
