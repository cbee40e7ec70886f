#include "platform/core/WindowSystem.h"

#include <cstring>

namespace lumora {

namespace {

WindowSystem *g_installed = nullptr;

// Stands in while nothing is installed: a session without a window system.
class NoWindowSystem : public WindowSystem
{
public:
    QList<HWND> topLevelWindows() override { return {}; }
    HWND owner(HWND) override { return 0; }
    bool isShown(HWND) override { return false; }
    QString title(HWND) override { return {}; }
    QString className(HWND) override { return {}; }
    bool show(HWND, int) override { return false; }
    bool activate(HWND) override { return false; }
    QString instanceName(HWND) override { return {}; }
    HWND activeWindow() override { return 0; }
    void watchActiveWindow() override {}
};

// Copies text into a caller's buffer the way the ANSI window calls do: truncated to fit
// with its NUL, and never in the middle of a multi-byte character.
int copyText(const QString &text, char *buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return 0;
    const QByteArray bytes = text.toUtf8();
    qsizetype n = qMin<qsizetype>(bytes.size(), maxCount - 1);
    // Step back over continuation bytes so a cut lands on a character boundary.
    if (n < bytes.size()) {
        while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return static_cast<int>(n);
}

} // namespace

WindowSystem::~WindowSystem() = default;

bool WindowSystem::isFullScreen(HWND)
{
    return false;
}

WindowSystem &WindowSystem::instance()
{
    static NoWindowSystem none;
    return g_installed ? *g_installed : none;
}

bool WindowSystem::hasClass(HWND window, const QString &windowClass)
{
    if (windowClass.isEmpty() || !window)
        return false;
    return windowClass.compare(className(window), Qt::CaseInsensitive) == 0
        || windowClass.compare(instanceName(window), Qt::CaseInsensitive) == 0;
}

void WindowSystem::setInstance(WindowSystem *system)
{
    g_installed = system;
}

bool EnumWindows(const WNDENUMPROC &callback)
{
    if (!callback)
        return false;
    const QList<HWND> windows = WindowSystem::instance().topLevelWindows();
    for (HWND window : windows) {
        if (!callback(window))
            return false;
    }
    return true;
}

HWND GetParent(HWND window)
{
    return window ? WindowSystem::instance().owner(window) : 0;
}

bool IsWindowVisible(HWND window)
{
    return window && WindowSystem::instance().isShown(window);
}

int GetWindowTextLengthA(HWND window)
{
    return window ? static_cast<int>(WindowSystem::instance().title(window).toUtf8().size()) : 0;
}

int GetWindowTextA(HWND window, char *buffer, int maxCount)
{
    if (!window)
        return copyText(QString(), buffer, maxCount);
    return copyText(WindowSystem::instance().title(window), buffer, maxCount);
}

int GetClassNameA(HWND window, char *buffer, int maxCount)
{
    if (!window)
        return copyText(QString(), buffer, maxCount);
    return copyText(WindowSystem::instance().className(window), buffer, maxCount);
}

bool ShowWindow(HWND window, int command)
{
    return window && WindowSystem::instance().show(window, command);
}

qintptr SendMessageA(HWND, quint32, quintptr, qintptr)
{
    return 0;
}

bool SetForegroundWindow(HWND window)
{
    return window && WindowSystem::instance().activate(window);
}

} // namespace lumora
