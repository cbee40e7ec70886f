#pragma once

#include "platform/core/Clock.h"

namespace lumora {

// Wall-clock time and QTimer-backed timers.
class LUMORA_PLATFORM_EXPORT SystemClock : public Clock
{
public:
    QDateTime now() const override;
    std::unique_ptr<Timer> createTimer() override;
};

} // namespace lumora
