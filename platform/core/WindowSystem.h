#pragma once

#include "platform/core/PlatformExport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace lumora {

// A top-level window of the desktop: an X11 window id (32 bits, as the window calls expect).
using HWND = quint32;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr int SW_RESTORE = 9;

// The desktop's top-level windows as the window calls below see them. Until the host installs
// the X11 implementation (or a test a fake), there is no window at all.
class LUMORA_PLATFORM_EXPORT WindowSystem : public QObject
{
    Q_OBJECT
public:
    ~WindowSystem() override;

    // The managed top-level windows, in the order the window manager lists them.
    virtual QList<HWND> topLevelWindows() = 0;
    // The window this one is transient for (its owner); 0 when it has none.
    virtual HWND owner(HWND window) = 0;
    // Mapped on screen, or minimised (a minimised window still counts as shown).
    virtual bool isShown(HWND window) = 0;
    // The title as the user sees it; empty when it has none.
    virtual QString title(HWND window) = 0;
    // The class part of the window's class hint; empty when it has none.
    virtual QString className(HWND window) = 0;
    // Hides, shows or restores the window (SW_HIDE, SW_SHOW, SW_RESTORE). True when it was
    // shown before the call.
    virtual bool show(HWND window, int command) = 0;
    // Asks the window manager to raise and focus the window.
    virtual bool activate(HWND window) = 0;
    // The instance part of the window's class hint; empty when it has none.
    virtual QString instanceName(HWND window) = 0;
    // The window that has the focus; 0 when none or unknown.
    virtual HWND activeWindow() = 0;
    // Starts reporting activeWindowChanged; until then the signal may stay silent, so a
    // process that never asks pays nothing for watching.
    virtual void watchActiveWindow() = 0;
    // Whether the window manager shows the window full screen (a presentation, a film);
    // false when it does not or cannot tell.
    virtual bool isFullScreen(HWND window);

    // Whether the window's class hint names windowClass: its class or its instance part,
    // compared without case. An empty windowClass names no window.
    bool hasClass(HWND window, const QString &windowClass);

    // The implementation in force: the installed one, else one that sees no window.
    static WindowSystem &instance();
    // Installs an implementation (not owned); nullptr restores the empty one.
    static void setInstance(WindowSystem *system);

Q_SIGNALS:
    // The active window may have changed; read activeWindow() for the new one.
    void activeWindowChanged();
};

// The window calls under their usual names, over WindowSystem::instance(). Texts cross
// this boundary as UTF-8, the system code page here; buffers are never overrun.
using WNDENUMPROC = std::function<bool(HWND)>;

// Calls back once per top-level window until the callback returns false.
LUMORA_PLATFORM_EXPORT bool EnumWindows(const WNDENUMPROC &callback);
LUMORA_PLATFORM_EXPORT HWND GetParent(HWND window);
LUMORA_PLATFORM_EXPORT bool IsWindowVisible(HWND window);
// Length of the title in bytes, without the terminating NUL.
LUMORA_PLATFORM_EXPORT int GetWindowTextLengthA(HWND window);
// Copies at most maxCount - 1 bytes of the title and a NUL; returns the bytes copied.
LUMORA_PLATFORM_EXPORT int GetWindowTextA(HWND window, char *buffer, int maxCount);
// As GetWindowTextA, for the class name.
LUMORA_PLATFORM_EXPORT int GetClassNameA(HWND window, char *buffer, int maxCount);
// Nonzero when the window was shown before; a null handle does nothing.
LUMORA_PLATFORM_EXPORT bool ShowWindow(HWND window, int command);
// Window messages have no receiver on this desktop; always 0.
LUMORA_PLATFORM_EXPORT qintptr SendMessageA(HWND window, quint32 message, quintptr wParam, qintptr lParam);
LUMORA_PLATFORM_EXPORT bool SetForegroundWindow(HWND window);

} // namespace lumora
