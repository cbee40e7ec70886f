#include "props/PropsGlobals.h"

#include "host/Application.h"
#include "settings/SettingsLocation.h"

namespace lumora {

void PropsGlobals::log(int level, const QString &procedure, const QString &message) const
{
    if (logWriter)
        logWriter->Log(level, procedure, message);
}

PropsGlobals &props()
{
    static PropsGlobals globals;
    return globals;
}

QString propsDataFolder()
{
    return SettingsLocation::dataFolder();
}

} // namespace lumora
