#include "platform/core/QtTimer.h"

namespace lumora {

QtTimer::QtTimer(QObject *parent)
    : Timer(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::tick);
}

void QtTimer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    sync();
}

int QtTimer::interval() const
{
    return m_interval;
}

void QtTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    sync();
}

bool QtTimer::isEnabled() const
{
    return m_enabled;
}

void QtTimer::sync()
{
    // start() restarts the countdown, which is what assigning an interval must do.
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

} // namespace lumora
