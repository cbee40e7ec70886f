#include "tests/testsupport/FakeWindowSystem.h"

namespace lumora::test {

FakeWindowSystem::FakeWindowSystem()
{
    WindowSystem::setInstance(this);
}

FakeWindowSystem::~FakeWindowSystem()
{
    WindowSystem::setInstance(nullptr);
}

void FakeWindowSystem::addWindow(const Window &window)
{
    if (!m_windows.contains(window.id))
        m_order.append(window.id);
    m_windows.insert(window.id, window);
}

bool FakeWindowSystem::show(HWND window, int command)
{
    showCalls.append({window, command});
    auto it = m_windows.find(window);
    if (it == m_windows.end())
        return false;
    const bool was = it->shown;
    if (command == SW_HIDE)
        it->shown = false;
    else if (command == SW_SHOW || command == SW_RESTORE)
        it->shown = true;
    return was;
}

bool FakeWindowSystem::activate(HWND window)
{
    activated.append(window);
    return m_windows.contains(window);
}

void FakeWindowSystem::setActiveWindow(HWND window)
{
    m_active = window;
    Q_EMIT activeWindowChanged();
}

} // namespace lumora::test
