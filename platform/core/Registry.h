#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QString>

// The registry operations the add-in calls, over a file-backed store kept in .reg text
// format under $XDG_CONFIG_HOME. Same names, argument meaning and status codes as the
// Windows calls; text is UTF-8 (our system code page).
namespace lumora::reg {

using HKEY = quintptr;
using LONG = qint32;
using DWORD = quint32;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr DWORD KEY_READ = 0x20019;
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

// Opens an existing key below root (or an open key); subKey may be empty (reopens root).
LUMORA_PLATFORM_EXPORT LONG RegOpenKeyA(HKEY root, const QString &subKey, HKEY *result);
LUMORA_PLATFORM_EXPORT LONG RegOpenKeyExA(HKEY root, const QString &subKey, DWORD options, DWORD samDesired,
                                          HKEY *result);
// Opens the key, creating it and any missing parents.
LUMORA_PLATFORM_EXPORT LONG RegCreateKeyA(HKEY root, const QString &subKey, HKEY *result);
// As the Win32 call: type and data are optional (null); with data null only the size is
// reported; a buffer smaller than the value gives ERROR_MORE_DATA and the needed size.
LUMORA_PLATFORM_EXPORT LONG RegQueryValueExA(HKEY key, const QString &valueName, DWORD *reserved, DWORD *type,
                                             unsigned char *data, DWORD *cbData);
// Stores exactly cbData bytes (a string value normally includes its terminating NUL).
LUMORA_PLATFORM_EXPORT LONG RegSetValueExA(HKEY key, const QString &valueName, DWORD reserved, DWORD type,
                                           const unsigned char *data, DWORD cbData);
LUMORA_PLATFORM_EXPORT LONG RegDeleteValueA(HKEY key, const QString &valueName);
// Deletes a key and everything below it.
LUMORA_PLATFORM_EXPORT LONG RegDeleteKeyA(HKEY root, const QString &subKey);
// Name of the index-th sub-key, ERROR_NO_MORE_ITEMS (259) past the end.
LUMORA_PLATFORM_EXPORT LONG RegEnumKeyA(HKEY key, DWORD index, QString *name);
LUMORA_PLATFORM_EXPORT LONG RegCloseKey(HKEY key);

inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;

} // namespace lumora::reg
