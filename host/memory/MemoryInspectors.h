#pragma once

#include "host/Explorer.h"
#include "host/Item.h"

#include <QList>

namespace lumora {

class MemoryInspector;

// The open message windows.
class MemoryInspectors : public host::Inspectors
{
    Q_OBJECT
public:
    explicit MemoryInspectors(QObject *parent = nullptr);
    ~MemoryInspectors() override;

    int Count() const override;

    // Opens a message window (for item, which may be null) and raises NewInspector.
    MemoryInspector *open(const host::ItemPtr &item = {});
    void close(MemoryInspector *inspector);
    QList<MemoryInspector *> list() const { return m_windows; }

private:
    QList<MemoryInspector *> m_windows;
};

} // namespace lumora
