#pragma once

#include <QString>

namespace lumora::LibraryLocation {

// Absolute path of the shared object this code is linked into: the plugin library when
// called from a plugin, the program file otherwise. Empty when the loader cannot tell.
QString path();
// The folder of path().
QString folder();

} // namespace lumora::LibraryLocation
