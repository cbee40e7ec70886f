#include "host/memory/MemoryInspectors.h"

#include "host/memory/MemoryInspector.h"

namespace lumora {

MemoryInspectors::MemoryInspectors(QObject *parent)
    : host::Inspectors(parent)
{
}

MemoryInspectors::~MemoryInspectors() = default;

int MemoryInspectors::Count() const
{
    return int(m_windows.size());
}

MemoryInspector *MemoryInspectors::open(const host::ItemPtr &item)
{
    auto *inspector = new MemoryInspector(this, item);
    m_windows.append(inspector);
    Q_EMIT NewInspector(inspector);
    return inspector;
}

void MemoryInspectors::close(MemoryInspector *inspector)
{
    // As with explorers: Count already excludes the closing window when Close is raised.
    m_windows.removeOne(inspector);
    inspector->markClosed();
    Q_EMIT inspector->Close();
    inspector->deleteLater();
}

} // namespace lumora
