#pragma once

#include "platform/core/Clock.h"

#include <QList>
#include <QPointer>

namespace lumora {

class VirtualTimer;

// A clock that moves only when told to. advance() delivers every tick that falls due,
// in time order, synchronously, so a test walks five seconds of timers in microseconds.
class VirtualClock : public Clock
{
public:
    explicit VirtualClock(const QDateTime &start = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));
    ~VirtualClock() override;

    QDateTime now() const override;
    std::unique_ptr<Timer> createTimer() override;

    // Moves time forward by ms, firing due ticks on the way.
    void advance(qint64 ms);
    // Milliseconds since the clock was created.
    qint64 elapsed() const { return m_elapsed; }

private:
    friend class VirtualTimer;
    void forget(VirtualTimer *timer);

    QDateTime m_start;
    qint64 m_elapsed = 0;
    QList<VirtualTimer *> m_timers;
};

// A virtual clock installed as the clock in force for its lifetime.
class VirtualClockScope
{
public:
    VirtualClockScope() { Clock::setInstance(&clock); }
    ~VirtualClockScope() { Clock::setInstance(nullptr); }
    VirtualClock clock;
};

} // namespace lumora
