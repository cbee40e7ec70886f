#pragma once

#include "platform/WindowSystem.h"

#include <QHash>

struct xcb_connection_t;

namespace lumora {

// Window calls over X11 (xcb and the EWMH/ICCCM conventions). Connects on first use and only
// when the application runs on the xcb platform; otherwise every call finds nothing.
class X11WindowSystem : public WindowSystem
{
public:
    X11WindowSystem();
    ~X11WindowSystem() override;

    QList<HWND> topLevelWindows() override;
    HWND owner(HWND window) override;
    bool isShown(HWND window) override;
    QString title(HWND window) override;
    QString className(HWND window) override;
    QString instanceName(HWND window) override;
    bool show(HWND window, int command) override;
    bool activate(HWND window) override;

private:
    bool connect();
    quint32 atom(const char *name);
    // The raw value of a property, at most maxBytes of it; empty when absent or of another type.
    QByteArray property(HWND window, quint32 property, quint32 type, int format, quint32 maxBytes,
                        quint32 *actualType = nullptr);
    bool isIconic(HWND window);
    // The two NUL-separated parts of WM_CLASS.
    QList<QByteArray> classHint(HWND window);
    void sendToRoot(HWND window, quint32 messageType, const quint32 (&data)[5]);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    bool m_tried = false;
    QHash<QByteArray, quint32> m_atoms;
};

} // namespace lumora
