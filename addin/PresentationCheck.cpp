#include "addin/PresentationCheck.h"

#include "platform/core/WindowSystem.h"
#include "platform/desktop/DesktopNotifications.h"

namespace lumora {

QString PresentationCheck::reason()
{
    // Without an X11 display the window system sees no window, so only the notification
    // server can tell.
    WindowSystem &windows = WindowSystem::instance();
    const HWND active = windows.activeWindow();
    if (active && windows.isFullScreen(active))
        return QStringLiteral("the active window is full screen");
    if (DesktopNotifications::instance().inhibited())
        return QStringLiteral("the desktop's do-not-disturb is on");
    return {};
}

} // namespace lumora
