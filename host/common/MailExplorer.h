#pragma once

#include "host/Explorer.h"

namespace lumora {

// The host's one main window object: active while the mail client's window is.
class MailExplorer : public host::Explorer
{
    Q_OBJECT
public:
    using host::Explorer::Explorer;
    ~MailExplorer() override;

    bool isActive() const { return m_active; }
    // Raises Activate or Deactivate when the state changes.
    void setActive(bool active);

private:
    bool m_active = false;
};

} // namespace lumora
