#pragma once

#include "host/Explorer.h"

#include <QList>

namespace lumora {

class MemoryExplorer;

// The open main windows, front-most last.
class MemoryExplorers : public host::Explorers
{
    Q_OBJECT
public:
    explicit MemoryExplorers(QObject *parent = nullptr);
    ~MemoryExplorers() override;

    int Count() const override;

    // Opens a new main window (it becomes the front-most one) and raises NewExplorer.
    MemoryExplorer *open();
    // The front-most open window, or null.
    MemoryExplorer *front() const;
    // The window that has the focus now, or null.
    MemoryExplorer *focused() const { return m_focused; }
    QList<MemoryExplorer *> list() const { return m_windows; }

    void activate(MemoryExplorer *explorer);
    void deactivate(MemoryExplorer *explorer);
    void close(MemoryExplorer *explorer);

private:
    QList<MemoryExplorer *> m_windows;
    MemoryExplorer *m_focused = nullptr;
};

} // namespace lumora
