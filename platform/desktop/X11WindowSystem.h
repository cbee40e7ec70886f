#pragma once

#include "platform/core/WindowSystem.h"

#include <QHash>
#include <QStringList>

#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

namespace lumora {

// Window calls over X11 (xcb and the EWMH/ICCCM conventions). Connects on first use and only
// when the application runs on the xcb platform; otherwise every call finds nothing.
class LUMORA_PLATFORM_EXPORT X11WindowSystem : public WindowSystem
{
    Q_OBJECT
public:
    X11WindowSystem();
    ~X11WindowSystem() override;

    QList<HWND> topLevelWindows() override;
    HWND owner(HWND window) override;
    bool isShown(HWND window) override;
    QString title(HWND window) override;
    QString className(HWND window) override;
    bool show(HWND window, int command) override;
    bool activate(HWND window) override;
    QString instanceName(HWND window) override;
    HWND activeWindow() override;
    void watchActiveWindow() override;
    bool isFullScreen(HWND window) override;

private:
    // WM_CLASS as (instance, class); empty when absent.
    QStringList classHint(HWND window);
    void readWatchEvents();
    void stopWatching();
    bool ensureConnected();
    quint32 atom(const char *name);
    // The raw value of a property, at most maxBytes of it; empty when absent or of another type.
    QByteArray property(HWND window, quint32 property, quint32 type, int format, quint32 maxBytes,
                        quint32 *actualType = nullptr);
    bool isIconic(HWND window);
    void sendToRoot(HWND window, quint32 messageType, const quint32 (&data)[5]);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    bool m_tried = false;
    QHash<QByteArray, quint32> m_atoms;
    // A connection of its own that only receives the root's property changes, so that no
    // event is left queued behind a reply of the main connection.
    xcb_connection_t *m_watch = nullptr;
    quint32 m_activeAtom = 0;
    std::unique_ptr<QSocketNotifier> m_watchNotifier;
};

} // namespace lumora
