#pragma once

#include <QString>

namespace lumora {

// The registration data of "Lumora.Connect": its class entries and the add-in keys that
// make the host load it at start-up.
class AddInRegistration
{
public:
    static const QString ProgId;
    static const QString ClassId;
    static const QString FriendlyName;
    static const QString Description;
    // HKEY_CURRENT_USER path of the host's add-in list; HKEY_LOCAL_MACHINE has the same.
    static const QString AddinsKey;

    static bool Register(const QString &libraryPath);
    static bool Unregister();
    // The library path the class is registered with, or empty.
    static QString RegisteredPath();
};

} // namespace lumora
