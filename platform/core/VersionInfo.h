#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QString>

// The version-resource calls the add-in makes, over our own reader of PE images. Same
// names and argument meaning as the Windows calls; text is UTF-8 (our system code page).
//
// The block that GetFileVersionInfoA fills is our own layout, not the raw resource: a
// header, the fixed-information record, the translations, an index of the string tables
// and a zero-terminated UTF-8 string area. Only VerQueryValueA needs to read it.
namespace lumora::ver {

using DWORD = quint32;

// Size of the block for the file's version resource; 0 when the file cannot be read or
// carries no (undamaged) version resource. *handle, when given, is set to 0.
LUMORA_PLATFORM_EXPORT DWORD GetFileVersionInfoSizeA(const QString &path, DWORD *handle);

// Fills data with the block; false (data untouched) when there is no version resource or
// len is smaller than the size GetFileVersionInfoSizeA reports.
LUMORA_PLATFORM_EXPORT bool GetFileVersionInfoA(const QString &path, DWORD handle, DWORD len, void *data);

// Finds a value inside a block: "\" gives the 52-byte fixed record, "\VarFileInfo\Translation"
// the array of translations (len in bytes), "\StringFileInfo\<lang><codepage>\<name>" a
// zero-terminated string (len in bytes including the terminator, 0 for an empty value).
// Path parts are compared case-insensitively. *buffer points into the block.
LUMORA_PLATFORM_EXPORT bool VerQueryValueA(const void *block, const QString &subBlock, const void **buffer,
                                           quint32 *len);

// Copies the English name of a language id into buffer (zero-terminated, cut to fit) and
// returns the name's full length; 0 for an unknown language.
LUMORA_PLATFORM_EXPORT DWORD VerLanguageNameA(DWORD langId, char *buffer, DWORD size);

// Absolute, cleaned form of path into *result and its length when that is below
// bufferLength; otherwise the buffer length needed (with the terminator) and *result
// untouched. 0 for an empty path.
LUMORA_PLATFORM_EXPORT DWORD GetFullPathNameA(const QString &path, DWORD bufferLength, QString *result);

// The block GetFileVersionInfoA would produce for a raw VS_VERSIONINFO resource; empty
// when the resource is damaged at its root.
LUMORA_PLATFORM_EXPORT QByteArray versionBlockFromResource(const QByteArray &resource);

} // namespace lumora::ver
