#include "host/memory/MemoryExplorers.h"

#include "host/memory/MemoryExplorer.h"

namespace lumora {

MemoryExplorers::MemoryExplorers(QObject *parent)
    : host::Explorers(parent)
{
}

MemoryExplorers::~MemoryExplorers() = default;

int MemoryExplorers::Count() const
{
    return int(m_windows.size());
}

MemoryExplorer *MemoryExplorers::open()
{
    auto *explorer = new MemoryExplorer(this);
    m_windows.append(explorer);
    Q_EMIT NewExplorer(explorer);
    return explorer;
}

MemoryExplorer *MemoryExplorers::front() const
{
    return m_windows.isEmpty() ? nullptr : m_windows.last();
}

void MemoryExplorers::activate(MemoryExplorer *explorer)
{
    if (m_focused == explorer)
        return;
    if (MemoryExplorer *previous = m_focused) {
        m_focused = nullptr;
        Q_EMIT previous->Deactivate();
    }
    m_windows.removeOne(explorer);
    m_windows.append(explorer);
    m_focused = explorer;
    Q_EMIT explorer->Activate();
}

void MemoryExplorers::deactivate(MemoryExplorer *explorer)
{
    if (m_focused != explorer)
        return;
    m_focused = nullptr;
    Q_EMIT explorer->Deactivate();
}

void MemoryExplorers::close(MemoryExplorer *explorer)
{
    // Leaves the collection before Close is raised, so a handler asking for the active
    // explorer or the count already sees the windows that remain.
    if (m_focused == explorer)
        m_focused = nullptr;
    m_windows.removeOne(explorer);
    explorer->markClosed();
    Q_EMIT explorer->Close();
    explorer->deleteLater();
}

} // namespace lumora
