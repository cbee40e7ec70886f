#include "host/common/ActiveWindowMonitor.h"

#include "platform/core/WindowSystem.h"

namespace lumora {

ActiveWindowMonitor::ActiveWindowMonitor(QObject *parent)
    : QObject(parent)
{
}

void ActiveWindowMonitor::setWindowClass(const QString &windowClass)
{
    m_windowClass = windowClass.trimmed();
    if (!m_windowClass.isEmpty() && !m_watching) {
        WindowSystem &windows = WindowSystem::instance();
        windows.watchActiveWindow();
        connect(&windows, &WindowSystem::activeWindowChanged, this, &ActiveWindowMonitor::update);
        m_watching = true;
    }
    update();
}

void ActiveWindowMonitor::update()
{
    if (m_windowClass.isEmpty()) {
        setActive(false);
        return;
    }
    WindowSystem &windows = WindowSystem::instance();
    const HWND active = windows.activeWindow();
    setActive(windows.hasClass(active, m_windowClass));
}

void ActiveWindowMonitor::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged(active);
}

} // namespace lumora
