#pragma once

#include <QString>

namespace lumora {

// Where the add-in's settings and files live: the registry key by the host's major version,
// and the data folder that holds the INI file and the logs.
class SettingsLocation
{
public:
    // "Software\...\<major>.0\Outlook\Options\Lumora" under the current user.
    static QString registryKey(const QString &hostMajor);
    // The application-data folder followed by the company and product folders.
    static QString companyFolder();
    static QString dataFolder();
};

} // namespace lumora
