#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArrayView>
#include <QString>

namespace lumora {

// The one way user data is saved: the new content goes to a temporary file in the target's
// folder, is written whole (short writes continued), flushed to disk, and then renamed over
// the target. A reader sees the old file or the new one, never a part; a failed save leaves
// the old file as it was and no temporary file behind.
class LUMORA_PLATFORM_EXPORT AtomicFile
{
public:
    struct Result
    {
        bool ok = false;
        // Why the save failed (the system's words, e.g. "No space left on device"); empty
        // on success.
        QString error;

        explicit operator bool() const { return ok; }
    };

    // Replaces the file at path with bytes. An existing file keeps its permissions; a new
    // one is created with the usual mode (0666 less the umask). A symbolic link is kept
    // and its target replaced.
    static Result write(const QString &path, QByteArrayView bytes);
};

} // namespace lumora
