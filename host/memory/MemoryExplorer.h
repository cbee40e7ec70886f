#pragma once

#include "host/Explorer.h"

#include <QPointer>

namespace lumora {

class MemoryExplorers;

// A scripted main window. Its owner, the collection, emits its events.
class MemoryExplorer : public host::Explorer
{
    Q_OBJECT
public:
    explicit MemoryExplorer(MemoryExplorers *owner);
    ~MemoryExplorer() override;

    // The user brings this window to the front (another active one is deactivated first).
    void activate();
    // The user switches to another program.
    void deactivate();
    // The window closes: it leaves the collection, emits Close and is deleted later.
    void close();
    // The user picks another folder; false when a handler cancelled the switch.
    bool switchFolder(host::MAPIFolder *folder);

    bool isOpen() const { return m_open; }
    void markClosed() { m_open = false; }

private:
    QPointer<MemoryExplorers> m_owner;
    bool m_open = true;
};

} // namespace lumora
