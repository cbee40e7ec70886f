#include "host/maildir/ActiveWindowMonitor.h"

#include "platform/WindowSystem.h"

namespace lumora {

ActiveWindowMonitor::ActiveWindowMonitor(QObject *parent)
    : QObject(parent)
{
}

bool ActiveWindowMonitor::matches(const QString &windowClass, const QString &instanceName, const QString &className)
{
    if (windowClass.isEmpty())
        return false;
    return windowClass.compare(instanceName, Qt::CaseInsensitive) == 0
        || windowClass.compare(className, Qt::CaseInsensitive) == 0;
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
    setActive(active != 0 && matches(m_windowClass, windows.instanceName(active), windows.className(active)));
}

void ActiveWindowMonitor::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged(active);
}

} // namespace lumora
