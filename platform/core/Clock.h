#pragma once

#include "platform/core/PlatformExport.h"

#include <QDateTime>

#include <memory>

namespace lumora {

class Timer;

// The one source of time for all logic: the current local time and new timers.
// Production uses the system clock; tests install a VirtualClock.
class LUMORA_PLATFORM_EXPORT Clock
{
public:
    virtual ~Clock();

    // Current local date and time.
    virtual QDateTime now() const = 0;
    // A new, disabled timer with interval 0.
    virtual std::unique_ptr<Timer> createTimer() = 0;

    // The clock in force: the system clock unless a test installed another.
    static Clock &instance();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void setInstance(Clock *clock);
};

} // namespace lumora
