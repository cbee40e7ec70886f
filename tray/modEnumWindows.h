#pragma once

#include "platform/core/WindowSystem.h"

namespace lumora::modEnumWindows {

// Hides every visible, unowned top-level window whose text names the mail client, or
// whose window class is the user's mail client's, and remembers the last one hidden.
void HideOutlookWindows();
// Shows the window remembered by the last hide again.
void ShowOutlookWindow();
// Restores the remembered window (also out of the minimised state).
void RestoreOutlookWindow();

// The user's mail client by its window class, matched without case against both parts
// of the class hint; empty leaves only the title test.
void setMailClientClass(const QString &windowClass);
QString mailClientClass();

// The handle remembered by the last hide; 0 before any.
HWND hiddenWindow();
// Forgets the remembered handle and the client class, as a fresh load of the library would.
void reset();

} // namespace lumora::modEnumWindows
