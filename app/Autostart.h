#pragma once

#include <QString>

namespace lumora {

// The user's XDG autostart entry for Lumora (~/.config/autostart/lumora.desktop). The
// options page's check box and `lumora --autostart on|off` both go through here.
class Autostart
{
public:
    // The entry's path in the user's configuration folder.
    static QString entryPath();
    // True when the entry exists and the desktop would start it: it names a program and is
    // neither hidden nor disabled.
    static bool isEnabled();
    // Writes the entry (atomically) or removes it. False with a reason in *error when the
    // file could not be written or removed.
    static bool setEnabled(bool enabled, QString *error = nullptr);
    // The entry's text for starting the program at executablePath: by name when that is the
    // `lumora` found on PATH, so the entry survives upgrades, else by its absolute path.
    static QByteArray entryText(const QString &executablePath);
};

} // namespace lumora
