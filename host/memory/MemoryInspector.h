#pragma once

#include "host/Explorer.h"
#include "host/Item.h"

#include <QPointer>

namespace lumora {

class MemoryInspectors;

// A scripted message window, showing one item (or none).
class MemoryInspector : public host::Inspector
{
    Q_OBJECT
public:
    MemoryInspector(MemoryInspectors *owner, const host::ItemPtr &item);
    ~MemoryInspector() override;

    host::ItemPtr item() const { return m_item; }
    // The window closes: it leaves the collection, emits Close and is deleted later.
    void close();

    bool isOpen() const { return m_open; }
    void markClosed() { m_open = false; }

private:
    QPointer<MemoryInspectors> m_owner;
    host::ItemPtr m_item;
    bool m_open = true;
};

} // namespace lumora
