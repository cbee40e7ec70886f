#include "addinapi/AddInGlobals.h"

#include "addinapi/OlAddInInterface.h"

namespace lumora {

void AddInGlobals::log(int level, const QString &procedure, const QString &message) const
{
    if (logWriter)
        logWriter->Log(level, procedure, message);
}

bool AddInGlobals::stillToShow(const QUEUE_ENTRY &entry) const
{
    return entry.strEntryID.isEmpty() || !controller || controller->StillUnread(entry.strEntryID, entry.strStoreID);
}

AddInGlobals &addIn()
{
    static AddInGlobals globals;
    return globals;
}

} // namespace lumora
