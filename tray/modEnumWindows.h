#pragma once

#include "platform/WindowSystem.h"

namespace lumora::modEnumWindows {

// Hides every visible, unowned top-level window whose text names the mail client and
// remembers the last one hidden.
void HideOutlookWindows();
// Shows the window remembered by the last hide again.
void ShowOutlookWindow();
// Restores the remembered window (also out of the minimised state).
void RestoreOutlookWindow();

// The handle remembered by the last hide; 0 before any.
HWND hiddenWindow();
// Forgets the remembered handle, as a fresh load of the library would.
void reset();

} // namespace lumora::modEnumWindows
