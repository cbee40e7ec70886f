#pragma once

#include "platform/WindowSystem.h"

#include <QList>
#include <QMap>

namespace lumora::test {

// A scriptable desktop: windows with titles, classes, owners and visibility, and a record
// of every show request. Installed for its lifetime.
class FakeWindowSystem : public WindowSystem
{
public:
    struct Window
    {
        // Written as {id, title, class, owner, shown, instance}; the later fields may be left out.
        Window(HWND id_ = 0, const QString &title_ = {}, const QString &className_ = {}, HWND owner_ = 0,
               bool shown_ = true, const QString &instanceName_ = {})
            : id(id_)
            , title(title_)
            , className(className_)
            , owner(owner_)
            , shown(shown_)
            , instanceName(instanceName_)
        {
        }

        HWND id;
        QString title;
        QString className;
        HWND owner;
        bool shown;
        QString instanceName;
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
    QString instanceName(HWND window) override { return m_windows.value(window).instanceName; }
    bool show(HWND window, int command) override;
    bool activate(HWND window) override;

    QList<ShowCall> showCalls;
    QList<HWND> activated;

private:
    QList<HWND> m_order;
    QMap<HWND, Window> m_windows;
};

} // namespace lumora::test
