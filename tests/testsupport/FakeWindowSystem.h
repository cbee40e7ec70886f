#pragma once

#include "platform/core/WindowSystem.h"

#include <QList>
#include <QMap>

namespace lumora::test {

// A scriptable desktop: windows with titles, classes, owners and visibility, and a record
// of every show request. Installed for its lifetime.
class FakeWindowSystem : public WindowSystem
{
    Q_OBJECT
public:
    struct Window
    {
        HWND id = 0;
        QString title;
        QString className;
        HWND owner = 0;
        bool shown = true;
        bool fullScreen = false;
    };
    struct ShowCall
    {
        HWND window;
        int command;
    };

    FakeWindowSystem();
    ~FakeWindowSystem() override;

    // Appends a window to the enumeration order.
    void addWindow(const Window &window);
    Window window(HWND id) const { return m_windows.value(id); }

    QList<HWND> topLevelWindows() override { return m_order; }
    HWND owner(HWND window) override { return m_windows.value(window).owner; }
    bool isShown(HWND window) override { return m_windows.value(window).shown; }
    QString title(HWND window) override { return m_windows.value(window).title; }
    QString className(HWND window) override { return m_windows.value(window).className; }
    bool show(HWND window, int command) override;
    bool activate(HWND window) override;
    QString instanceName(HWND window) override { return m_instanceNames.value(window); }
    HWND activeWindow() override { return m_active; }
    void watchActiveWindow() override { watching = true; }
    bool isFullScreen(HWND window) override { return m_windows.value(window).fullScreen; }

    // The instance part of a window's class hint (empty unless set).
    void setInstanceName(HWND window, const QString &name) { m_instanceNames.insert(window, name); }
    // Makes a window the active one, as a click of the user's would, and tells watchers.
    void setActiveWindow(HWND window);
    // Puts a window into full screen or takes it out, as its window manager would.
    void setFullScreen(HWND window, bool on)
    {
        if (m_windows.contains(window))
            m_windows[window].fullScreen = on;
    }

    bool watching = false;
    QList<ShowCall> showCalls;
    QList<HWND> activated;

private:
    QList<HWND> m_order;
    QMap<HWND, Window> m_windows;
    QMap<HWND, QString> m_instanceNames;
    HWND m_active = 0;
};

} // namespace lumora::test
