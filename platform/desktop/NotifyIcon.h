#pragma once

#include "platform/core/PlatformExport.h"
#include "platform/core/WindowSystem.h"

#include <QIcon>

namespace lumora {

// An icon image as the notification area takes it.
using HICON = QIcon;

constexpr quint32 NIM_ADD = 0;
constexpr quint32 NIM_MODIFY = 1;
constexpr quint32 NIM_DELETE = 2;

constexpr quint32 NIF_MESSAGE = 1;
constexpr quint32 NIF_ICON = 2;
constexpr quint32 NIF_TIP = 4;

// Mouse events of the icon, delivered to the owner as these message numbers.
constexpr int WM_MOUSEMOVE = 512;
constexpr int WM_LBUTTONDOWN = 513;
constexpr int WM_LBUTTONUP = 514;
constexpr int WM_LBUTTONDBLCLK = 515;
constexpr int WM_RBUTTONDOWN = 516;
constexpr int WM_RBUTTONUP = 517;
constexpr int WM_MBUTTONDOWN = 519;
constexpr int WM_MBUTTONUP = 520;

// The notification-area icon record in its 488-byte layout: the fields the shell reads,
// then the balloon fields, which nothing here fills.
struct NOTIFYICONDATAA
{
    quint32 cbSize = 0;
    HWND hWnd = 0;
    quint32 uID = 0;
    quint32 uFlags = 0;
    quint32 uCallbackMessage = 0;
    HICON hIcon;
    char szTip[128] = {};
    quint32 dwState = 0;
    quint32 dwStateMask = 0;
    char szInfo[256] = {};
    quint32 uTimeout = 0;
    char szInfoTitle[64] = {};
    quint32 dwInfoFlags = 0;
};

// Adds, changes or removes the icon identified by (hWnd, uID). False when the record is
// missing, when an add finds the icon already there, or when a change or delete finds none.
// Mouse events come back through NotifyIconHost::instance()'s callback signal.
LUMORA_PLATFORM_EXPORT bool Shell_NotifyIconA(quint32 message, const NOTIFYICONDATAA *data);

} // namespace lumora
