#pragma once

#include <QtGlobal>

namespace lumora::modOSVersion {

// Code of the running system's version, used to size the section buffer of CINIFile.
// Codes 1 to 9 name the old systems that had smaller profile buffers; everything else,
// Linux included, is 0.
qint32 GetOSVersion();

} // namespace lumora::modOSVersion
