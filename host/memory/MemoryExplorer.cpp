#include "host/memory/MemoryExplorer.h"

#include "host/memory/MemoryExplorers.h"

namespace lumora {

MemoryExplorer::MemoryExplorer(MemoryExplorers *owner)
    : host::Explorer(owner)
    , m_owner(owner)
{
}

MemoryExplorer::~MemoryExplorer() = default;

void MemoryExplorer::activate()
{
    if (m_owner && m_open)
        m_owner->activate(this);
}

void MemoryExplorer::deactivate()
{
    if (m_owner && m_open)
        m_owner->deactivate(this);
}

void MemoryExplorer::close()
{
    if (m_owner && m_open)
        m_owner->close(this);
}

bool MemoryExplorer::switchFolder(host::MAPIFolder *folder)
{
    if (!m_open)
        return false;
    bool cancel = false;
    Q_EMIT BeforeFolderSwitch(folder, &cancel);
    return !cancel;
}

} // namespace lumora
