#include "platform/core/SystemClock.h"

#include "platform/core/QtTimer.h"

namespace lumora {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

std::unique_ptr<Timer> SystemClock::createTimer()
{
    return std::make_unique<QtTimer>();
}

} // namespace lumora
