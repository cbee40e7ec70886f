#include "host/common/ArrivalBurst.h"

#include "platform/core/Clock.h"
#include "platform/core/Timer.h"

namespace lumora {

ArrivalBurst::ArrivalBurst(int quietMs, int maxDelayMs, QObject *parent)
    : QObject(parent)
    , m_quietMs(quietMs)
    , m_maxDelayMs(maxDelayMs)
    , m_timer(Clock::instance().createTimer())
{
    connect(m_timer.get(), &Timer::tick, this, [this] {
        m_timer->setEnabled(false);
        m_pendingSinceMs = -1;
        Q_EMIT burst();
    });
}

ArrivalBurst::~ArrivalBurst() = default;

void ArrivalBurst::note()
{
    const qint64 now = Clock::instance().now().toMSecsSinceEpoch();
    if (m_pendingSinceMs < 0) {
        m_pendingSinceMs = now;
        m_timer->restart(m_quietMs);
    } else if (now - m_pendingSinceMs + m_quietMs <= m_maxDelayMs) {
        // Still within the burst: wait for it to go quiet.
        m_timer->restart(m_quietMs);
    }
}

} // namespace lumora
