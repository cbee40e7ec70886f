#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>
#include <QStringList>

namespace lumora {

// Starts outside programs (help viewer, mail composer, the desktop's file handler).
// Replaceable so tests can see what would have been started without starting it.
class LUMORA_PLATFORM_EXPORT ProcessLauncher
{
public:
    virtual ~ProcessLauncher();

    // Starts the program detached. False when it could not be started; then *errorNumber
    // and *errorText (when given) say why.
    virtual bool startDetached(const QString &program, const QStringList &arguments, int *errorNumber = nullptr,
                               QString *errorText = nullptr) = 0;

    // The launcher in force: a QProcess-based one unless a test installed another.
    static ProcessLauncher &instance();
    // Installs a launcher (not owned); nullptr restores the real one.
    static void setInstance(ProcessLauncher *launcher);
};

} // namespace lumora
