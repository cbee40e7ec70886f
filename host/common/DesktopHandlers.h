#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

// Which installed program the desktop opens a kind of file (or link scheme) with. Asked
// before a file is handed to xdg-open, which fails out of sight when there is none.
// Replaceable so tests decide what is installed.
class DesktopHandlers
{
public:
    virtual ~DesktopHandlers();

    // The desktop entry file of the default handler of mimeType ("text/calendar",
    // "x-scheme-handler/mailto"); empty when the desktop has none installed.
    virtual QString defaultEntry(const QString &mimeType);

    // The program and arguments a desktop entry's Exec line runs for file: its field codes
    // filled (%f, %F, %u, %U) or the file appended. Empty when the entry has no Exec line.
    static QStringList commandFor(const QString &entryPath, const QString &file);

    // The lookup in force: the desktop's (xdg-mime) unless a test installed another.
    static DesktopHandlers &instance();
    // Installs a lookup (not owned); nullptr restores the desktop's.
    static void setInstance(DesktopHandlers *handlers);
};

} // namespace lumora
