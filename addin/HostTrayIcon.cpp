#include "addin/HostTrayIcon.h"

#include "platform/core/WindowSystem.h"
#include "platform/desktop/NotifyIcon.h"

#include <QByteArray>

namespace lumora {

namespace {

// The window's title, or its class name when the title is empty, cut at the first NUL.
QByteArray windowText(HWND window)
{
    QByteArray text;
    const int length = GetWindowTextLengthA(window);
    if (length > 0) {
        text = QByteArray(length + 1, '\0');
        GetWindowTextA(window, text.data(), length + 1);
    }
    if (text.isEmpty() || text.at(0) == '\0') {
        text = QByteArray(64, '\0');
        GetClassNameA(window, text.data(), 64);
    }
    const qsizetype nul = text.indexOf('\0');
    return nul >= 0 ? text.left(nul) : text;
}

} // namespace

void HostTrayIcon::Remove()
{
    EnumWindows([](HWND window) {
        if (windowText(window) != "rctrl_renwnd32")
            return true;
        NOTIFYICONDATAA record;
        record.cbSize = 488;
        record.hWnd = window;
        record.uID = 0;
        if (!Shell_NotifyIconA(NIM_DELETE, &record))
            return true;
        SendMessageA(window, 0x400 + 7, 0, 0);
        return false;
    });
}

} // namespace lumora
