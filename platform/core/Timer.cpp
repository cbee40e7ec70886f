#include "platform/core/Timer.h"

namespace lumora {

Timer::~Timer() = default;

void Timer::restart(int ms)
{
    setEnabled(false);
    setInterval(ms);
    setEnabled(true);
}

} // namespace lumora
