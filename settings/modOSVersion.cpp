#include "settings/modOSVersion.h"

namespace lumora::modOSVersion {

qint32 GetOSVersion()
{
    // No system we run on has the old profile limits, and 0 keeps the section buffer at
    // its tried 32767 characters.
    return 0;
}

} // namespace lumora::modOSVersion
