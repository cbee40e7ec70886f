#pragma once

#include <QString>

// Where the per-user folders are on this desktop.
namespace lumora::modSpecialFolders {

// The application-data folder, the one id the plugins ask for.
inline constexpr qint32 CSIDL_APPDATA = 26;

// Path of a shell folder without a trailing slash; only the application-data folder (26),
// which is $XDG_DATA_HOME, is known; any other id gives an empty string.
QString GetSpecialFolder(qint32 folderId);

} // namespace lumora::modSpecialFolders
