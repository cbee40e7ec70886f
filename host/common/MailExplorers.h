#pragma once

#include "host/Explorer.h"

#include <QPointer>

namespace lumora {

class MailExplorer;

// The main windows: the one explorer until it closes.
class MailExplorers : public host::Explorers
{
    Q_OBJECT
public:
    using host::Explorers::Explorers;
    ~MailExplorers() override;

    int Count() const override { return m_explorer ? 1 : 0; }
    void setExplorer(MailExplorer *explorer);

private:
    QPointer<MailExplorer> m_explorer;
};

} // namespace lumora
