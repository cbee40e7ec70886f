#include "settings/SettingsLocation.h"

#include "platform/core/Product.h"
#include "settings/modSpecialFolders.h"

namespace lumora {

QString SettingsLocation::registryKey(const QString &hostMajor)
{
    return QStringLiteral("Software\\Microsoft\\Office\\%1.0\\Outlook\\Options\\%2")
        .arg(hostMajor, product::productFolder());
}

QString SettingsLocation::companyFolder()
{
    return modSpecialFolders::GetSpecialFolder(modSpecialFolders::CSIDL_APPDATA) + QLatin1Char('/')
        + product::companyFolder();
}

QString SettingsLocation::dataFolder()
{
    return companyFolder() + QLatin1Char('/') + product::productFolder();
}

} // namespace lumora
