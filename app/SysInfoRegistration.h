#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

// Registers the desktop's system-information program where the About box looks for it
// (the "PATH" value of the MSINFO key under HKEY_LOCAL_MACHINE).
class SysInfoRegistration
{
public:
    static const QString Key;
    static const QString Value;

    // Programs looked for on PATH, in order.
    static QStringList candidates();

    // Writes the path of the first installed candidate unless the key already names a
    // program that exists (the user's own choice is kept). Returns the path registered
    // now or before; empty when none is installed.
    static QString registerInstalled();
};

} // namespace lumora
