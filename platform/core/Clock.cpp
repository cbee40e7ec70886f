#include "platform/core/Clock.h"

#include "platform/core/SystemClock.h"

namespace lumora {

namespace {
Clock *g_installed = nullptr;
}

Clock::~Clock() = default;

Clock &Clock::instance()
{
    static SystemClock systemClock;
    return g_installed ? *g_installed : systemClock;
}

void Clock::setInstance(Clock *clock)
{
    g_installed = clock;
}

} // namespace lumora
