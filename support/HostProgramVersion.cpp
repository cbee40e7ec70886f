#include "support/HostProgramVersion.h"

#include "platform/core/Registry.h"
#include "settings/SettingsLocation.h"
#include "settings/modRegistry.h"

namespace lumora {

std::unique_ptr<CFileVersionInfo> HostProgramVersion::open()
{
    // The registered folder ends with a separator; the file name is appended to it.
    const QString path = modRegistry::ReadRegistryValue(
                             reg::HKEY_LOCAL_MACHINE,
                             QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE"),
                             QStringLiteral("Path"))
                             .toString();
    auto reader = std::make_unique<CFileVersionInfo>();
    reader->setFullPathName(path + QStringLiteral("OUTLOOK.EXE"));
    return reader;
}

QString HostProgramVersion::settingsKey(const QString &major)
{
    if (major == QLatin1String("9") || major == QLatin1String("10") || major == QLatin1String("11"))
        return SettingsLocation::registryKey(major);
    return QString();
}

} // namespace lumora
