#include "MaildirAddIns.h"

namespace lumora {

MaildirAddIns::~MaildirAddIns() = default;

host::COMAddIn *MaildirAddIns::Item(const QString &progId) const
{
    for (host::COMAddIn *entry : m_entries) {
        // Prog-ids are matched without case, as class registrations are.
        if (entry->progId().compare(progId, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

host::COMAddIn *MaildirAddIns::add(const QString &progId)
{
    if (host::COMAddIn *existing = Item(progId))
        return existing;
    auto *entry = new host::COMAddIn(progId, this);
    m_entries.append(entry);
    return entry;
}

} // namespace lumora
