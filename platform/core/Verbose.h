#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

#include <functional>

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
    // Something the user must hear about (a folder not watched, an action that failed):
    // written whether or not the trace is on, as "warning: " and the text.
    static void warning(const QString &text);
    // Mail text made safe for one trace line.
    static QString printable(const QString &text);
    // Sends the lines to sink instead of standard error (tests read the trace this way);
    // an empty function restores standard error.
    static void setSink(std::function<void(const QString &)> sink);

private:
    static void write(const QString &text);
};

} // namespace lumora
