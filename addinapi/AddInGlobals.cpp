#include "addinapi/AddInGlobals.h"

namespace lumora {

void AddInGlobals::log(int level, const QString &procedure, const QString &message) const
{
    if (logWriter)
        logWriter->Log(level, procedure, message);
}

AddInGlobals &addIn()
{
    static AddInGlobals globals;
    return globals;
}

} // namespace lumora
