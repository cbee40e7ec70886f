#pragma once

#include "platform/core/PlatformExport.h"

#include <QRect>

namespace lumora {

// The desktop area not covered by panels, on the primary screen. Replaceable so tests
// can place popups on a screen of known size.
class LUMORA_PLATFORM_EXPORT WorkArea
{
public:
    virtual ~WorkArea();

    // The work area in screen pixels; right = x() + width(), bottom = y() + height().
    // An empty rectangle when there is no screen at all.
    virtual QRect primaryWorkArea() const = 0;

    // The work area in force: the primary screen's unless a test installed another.
    static WorkArea &instance();
    // Installs a work area (not owned); nullptr restores the real one.
    static void setInstance(WorkArea *area);
};

} // namespace lumora
