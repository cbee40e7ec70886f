#include "host/memory/MemoryInspector.h"

#include "host/memory/MemoryInspectors.h"

namespace lumora {

MemoryInspector::MemoryInspector(MemoryInspectors *owner, const host::ItemPtr &item)
    : host::Inspector(owner)
    , m_owner(owner)
    , m_item(item)
{
}

MemoryInspector::~MemoryInspector() = default;

void MemoryInspector::close()
{
    if (m_owner && m_open)
        m_owner->close(this);
}

} // namespace lumora
