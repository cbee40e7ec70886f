#include "tests/testsupport/VirtualClock.h"

#include "platform/core/Timer.h"

#include <limits>

namespace lumora {

class VirtualTimer : public Timer
{
public:
    explicit VirtualTimer(VirtualClock *clock)
        : m_clock(clock)
    {
    }
    ~VirtualTimer() override
    {
        if (m_clock)
            m_clock->forget(this);
    }

    void setInterval(int ms) override
    {
        m_interval = ms < 0 ? 0 : ms;
        rearm();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override
    {
        if (on == m_enabled)
            return;
        m_enabled = on;
        rearm();
    }
    bool isEnabled() const override { return m_enabled; }

    bool armed() const { return m_enabled && m_interval > 0; }
    qint64 due() const { return m_due; }
    void fire()
    {
        m_due += m_interval;
        Q_EMIT tick();
    }
    void detach() { m_clock = nullptr; }

private:
    void rearm()
    {
        if (m_clock)
            m_due = m_clock->elapsed() + m_interval;
    }

    VirtualClock *m_clock;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_due = 0;
};

VirtualClock::VirtualClock(const QDateTime &start)
    : m_start(start)
{
}

VirtualClock::~VirtualClock()
{
    for (VirtualTimer *t : m_timers)
        t->detach();
}

QDateTime VirtualClock::now() const
{
    return m_start.addMSecs(m_elapsed);
}

std::unique_ptr<Timer> VirtualClock::createTimer()
{
    auto timer = std::make_unique<VirtualTimer>(this);
    m_timers.append(timer.get());
    return timer;
}

void VirtualClock::forget(VirtualTimer *timer)
{
    m_timers.removeAll(timer);
}

void VirtualClock::advance(qint64 ms)
{
    const qint64 end = m_elapsed + ms;
    for (;;) {
        // The earliest due tick at or before the end; ties go to the timer created first.
        VirtualTimer *next = nullptr;
        qint64 best = std::numeric_limits<qint64>::max();
        for (VirtualTimer *t : m_timers) {
            if (t->armed() && t->due() <= end && t->due() < best) {
                best = t->due();
                next = t;
            }
        }
        if (!next)
            break;
        m_elapsed = best;
        // A tick handler may delete timers or create new ones; the list is re-read each round.
        next->fire();
    }
    m_elapsed = end;
}

} // namespace lumora
