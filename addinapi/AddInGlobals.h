#pragma once

#include "host/Logging.h"
#include "queue/QueueEntry.h"
#include "settings/AddInSettings.h"

#include <QPointer>

namespace lumora {

namespace host {
class Application;
}
class OlAddInInterface;
class Queue;
class Main;

// The add-in library's deliverable-wide references: one of each while the add-in runs.
// The controller fills and clears them in its attach and detach sequences.
struct AddInGlobals
{
    host::Application *application = nullptr;
    OlAddInInterface *controller = nullptr;
    // Created and released by Main.
    Queue *queue = nullptr;
    std::shared_ptr<host::Logging> logging;
    host::LogWriterPtr logWriter;
    Main *main = nullptr;
    // The loaded settings record, read by the popup and the tray icon.
    AddInSettings settings;
    // Folder the add-in library lies in (template INI, default sound, help file).
    QString libraryFolder;

    // Writes one log entry when a writer exists; nothing otherwise.
    void log(int level, const QString &procedure, const QString &message) const;
    // Whether a queued record is still worth showing: a summary always, a message unless the
    // controller knows it was read since it was queued.
    bool stillToShow(const QUEUE_ENTRY &entry) const;
};

// The one instance for this library.
AddInGlobals &addIn();

} // namespace lumora
