#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

namespace lumora {

// What tells us a file changed on disk since we read it: size, times and identity. The
// stores that cache a file compare stamps instead of re-reading on every call.
struct LUMORA_PLATFORM_EXPORT FileStamp
{
    bool exists = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp &) const = default;

    // The stamp of the file at path now; a default stamp (exists false) when there is none.
    static FileStamp of(const QString &path);
};

} // namespace lumora
