#include "host/memory/MemoryPropertyPages.h"

namespace lumora {

MemoryPropertyPages::MemoryPropertyPages(QObject *parent)
    : host::PropertyPages(parent)
{
}

MemoryPropertyPages::~MemoryPropertyPages() = default;

bool MemoryPropertyPages::Add(const QString &progId, const QString &title)
{
    if (progId.isEmpty())
        return false;
    m_pages.append({progId, title});
    return true;
}

} // namespace lumora
