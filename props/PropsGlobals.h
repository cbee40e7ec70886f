#pragma once

#include "host/Logging.h"

#include <QPointer>
#include <QString>

namespace lumora {

namespace host {
class Application;
}

// The LumoraProps library's own references, one each: the host application taken from the
// page's site, and the page log. Shared by every page instance and its folder picker.
struct PropsGlobals
{
    QPointer<host::Application> application;
    std::shared_ptr<host::Logging> logging;
    host::LogWriterPtr logWriter;

    // Writes one entry to LumoraProps.log when the log is open.
    void log(int level, const QString &procedure, const QString &message) const;
};

PropsGlobals &props();

// The data folder both plugins keep their files in.
QString propsDataFolder();

} // namespace lumora
