#pragma once

#include "host/Explorer.h"

#include <QPointer>

namespace lumora {

class MaildirExplorer;

// The main windows: the one explorer until it closes.
class MaildirExplorers : public host::Explorers
{
    Q_OBJECT
public:
    using host::Explorers::Explorers;
    ~MaildirExplorers() override;

    int Count() const override { return m_explorer ? 1 : 0; }
    void setExplorer(MaildirExplorer *explorer);

private:
    QPointer<MaildirExplorer> m_explorer;
};

} // namespace lumora
