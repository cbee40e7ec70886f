#pragma once

#include <QString>

namespace lumora {

// The calendar, contacts, tasks and notes folders: no source keeps such items, so each
// store offers them as empty folders with fixed ids, the same in every store.
class VirtualFolder
{
public:
    static QString entryId(int itemType);
    // The item type the id names, or -1 when it names no virtual folder.
    static int parseEntryId(const QString &id);
    static QString name(int itemType);
};

} // namespace lumora
