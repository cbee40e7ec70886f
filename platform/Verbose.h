#pragma once

#include "PlatformExport.h"

#include <QString>

namespace lumora {

// The --verbose trace: one line per thing the system does, on standard error.
class LUMORA_PLATFORM_EXPORT Verbose
{
public:
    static void setEnabled(bool on);
    static bool enabled();
    // Writes "lumora: " and the line when enabled. Control characters (a hostile subject's
    // terminal escapes, line breaks) are shown as \xNN so one call stays one line.
    static void line(const QString &text);
    // Mail text made safe for one trace line.
    static QString printable(const QString &text);
};

} // namespace lumora
