#include "MemoryCOMAddIns.h"

namespace lumora {

MemoryCOMAddIns::MemoryCOMAddIns(QObject *parent)
    : host::COMAddIns(parent)
{
}

MemoryCOMAddIns::~MemoryCOMAddIns() = default;

host::COMAddIn *MemoryCOMAddIns::Item(const QString &progId) const
{
    for (host::COMAddIn *entry : m_entries) {
        if (entry->progId().compare(progId, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

host::COMAddIn *MemoryCOMAddIns::add(const QString &progId)
{
    if (progId.isEmpty())
        return nullptr;
    if (host::COMAddIn *existing = Item(progId))
        return existing;
    auto *entry = new host::COMAddIn(progId, this);
    m_entries.append(entry);
    return entry;
}

void MemoryCOMAddIns::remove(const QString &progId)
{
    if (host::COMAddIn *entry = Item(progId)) {
        m_entries.removeOne(entry);
        delete entry;
    }
}

} // namespace lumora
