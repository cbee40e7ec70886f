#pragma once

#include "host/Explorer.h"

namespace lumora {

// Message windows: the host opens messages in outside programs, so there are none.
class MailInspectors : public host::Inspectors
{
    Q_OBJECT
public:
    using host::Inspectors::Inspectors;
    ~MailInspectors() override;

    int Count() const override { return 0; }
};

} // namespace lumora
