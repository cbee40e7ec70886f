#pragma once

#include "host/COMAddIns.h"

#include <QList>

namespace lumora {

// The add-in entries the host knows, by prog-id (compared without regard to case).
class MemoryCOMAddIns : public host::COMAddIns
{
    Q_OBJECT
public:
    explicit MemoryCOMAddIns(QObject *parent = nullptr);
    ~MemoryCOMAddIns() override;

    host::COMAddIn *Item(const QString &progId) const override;

    // The entry for progId, created when missing.
    host::COMAddIn *add(const QString &progId);
    void remove(const QString &progId);
    int count() const { return int(m_entries.size()); }

private:
    QList<host::COMAddIn *> m_entries;
};

} // namespace lumora
