#pragma once

#include "host/Items.h"

#include <memory>

namespace lumora {

class MemoryFolder;

// The live item collection of one folder. Find/FindNext walk the folder in the order the
// items were added, as the object model does (it does not sort).
class MemoryItems : public host::Items
{
    Q_OBJECT
public:
    explicit MemoryItems(const std::shared_ptr<MemoryFolder> &folder);
    ~MemoryItems() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    host::ItemPtr nextMatch();

    std::shared_ptr<MemoryFolder> m_folder;
    bool m_searching = false;
    qint64 m_lastSequence = 0;
};

} // namespace lumora
