#pragma once

#include "platform/core/PlatformExport.h"

namespace lumora {

// A request to end the process, raised from a signal handler and read by code that blocks
// without an event loop (a network request's wait), so such a wait ends promptly instead of
// holding the quit back until its timeout.
class LUMORA_PLATFORM_EXPORT QuitRequest
{
public:
    // Async-signal-safe.
    static void raise();
    static bool isRaised();
    // Takes the request back (a test, or a quit that was refused).
    static void reset();
};

} // namespace lumora
