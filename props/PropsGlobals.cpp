#include "props/PropsGlobals.h"

#include "host/Application.h"
#include "settings/modSpecialFolders.h"

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
    return modSpecialFolders::GetSpecialFolder(26) + QStringLiteral("/Corvane Software/Lumora");
}

} // namespace lumora
