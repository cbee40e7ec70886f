#include "tray/modEnumWindows.h"

#include <QByteArray>

namespace lumora::modEnumWindows {

namespace {

HWND g_hidden = 0;
QString g_clientClass;

// The window's title, or its class name when it has no title; cut at the first NUL.
QByteArray windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length > 0) {
        QByteArray title(length + 1, '\0');
        GetWindowTextA(window, title.data(), length + 1);
        title.truncate(title.indexOf('\0'));
        return title;
    }
    QByteArray cls(64, '\0');
    GetClassNameA(window, cls.data(), 64);
    cls.truncate(cls.indexOf('\0'));
    return cls;
}

bool isMailClientWindow(HWND window)
{
    return WindowSystem::instance().hasClass(window, g_clientClass);
}

} // namespace

void setMailClientClass(const QString &windowClass)
{
    g_clientClass = windowClass.trimmed();
}

QString mailClientClass()
{
    return g_clientClass;
}

void HideOutlookWindows()
{
    EnumWindows([](HWND window) {
        if (GetParent(window) == 0 && IsWindowVisible(window)) {
            const QByteArray text = windowText(window);
            if ((text.contains("Microsoft") && text.contains("Outlook")) || isMailClientWindow(window)) {
                g_hidden = window;
                ShowWindow(window, SW_HIDE);
            }
        }
        return true;
    });
}

void ShowOutlookWindow()
{
    ShowWindow(g_hidden, SW_SHOW);
}

void RestoreOutlookWindow()
{
    ShowWindow(g_hidden, SW_RESTORE);
}

HWND hiddenWindow()
{
    return g_hidden;
}

void reset()
{
    g_hidden = 0;
    g_clientClass.clear();
}

} // namespace lumora::modEnumWindows
