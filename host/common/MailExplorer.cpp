#include "host/common/MailExplorer.h"

namespace lumora {

MailExplorer::~MailExplorer() = default;

void MailExplorer::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    if (active)
        Q_EMIT Activate();
    else
        Q_EMIT Deactivate();
}

} // namespace lumora
