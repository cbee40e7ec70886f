#include "host/maildir/MaildirExplorer.h"

namespace lumora {

MaildirExplorer::~MaildirExplorer() = default;

void MaildirExplorer::setActive(bool active)
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
