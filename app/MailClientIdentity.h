#pragma once

#include <QString>

namespace lumora {

// Which program is the user's mail client, by its X11 window class. Named on the command
// line (kept as a host setting for later starts), else the stored setting, else the
// desktop's handler of mailto: links.
class MailClientIdentity
{
public:
    // Where the host setting lives under HKEY_CURRENT_USER.
    static const QString SettingsKey;
    static const QString SettingsValue;

    // The class to use; commandLine, when given, is stored first. *source (when given)
    // says where the class came from, for the trace.
    static QString resolve(const QString &commandLine, QString *source = nullptr);

    static QString stored();
    static bool store(const QString &windowClass);

    // The window class of the desktop's mailto: handler; empty when there is none.
    static QString desktopDefault(QString *desktopId = nullptr);
    // The id of the desktop entry handling mailto: links ("thunderbird.desktop"), asked of
    // xdg-mime; empty when it has no answer.
    static QString mailtoHandler();
    // The window class a desktop entry announces: StartupWMClass, else the name of the
    // program its Exec line runs. Empty when the file has neither.
    static QString classFromDesktopEntry(const QString &path);
};

} // namespace lumora
