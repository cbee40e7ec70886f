#pragma once

#include "host/COMAddIns.h"

#include <QList>

namespace lumora {

// The add-ins the host loaded, by prog-id; the host adds one entry per loaded add-in.
class MaildirAddIns : public host::COMAddIns
{
    Q_OBJECT
public:
    using host::COMAddIns::COMAddIns;
    ~MaildirAddIns() override;

    host::COMAddIn *Item(const QString &progId) const override;
    // The entry for progId, created when missing; owned by this collection.
    host::COMAddIn *add(const QString &progId);

private:
    QList<host::COMAddIn *> m_entries;
};

} // namespace lumora
