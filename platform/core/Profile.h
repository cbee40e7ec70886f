#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

// The profile (INI file) operations, with the names, arguments and buffer rules of the
// Windows calls so that callers ported from there read the same. Text is UTF-8, our system
// code page. Files are shared through IniFileCache: every write reaches the disk before
// the call returns, under a lock that other writers of the file respect.
//
// List results hold one entry per name or line, each ended by a NUL, and a second NUL
// after the last; the count returned leaves out that final NUL. A list that does not fit
// is cut, ended by two NULs, and the count is size - 2. A single value that does not fit
// is cut to size - 1 bytes (never inside a UTF-8 sequence) and the count is its length.
namespace lumora {

// Reads key of section into buffer; a missing file, section or key gives def (trailing
// blanks dropped; null counts as empty). A null section lists the section names, a null
// key lists the section's key names. Returns the bytes copied without the final NUL.
LUMORA_PLATFORM_EXPORT quint32 GetPrivateProfileStringA(const char *section, const char *key, const char *def,
                                                        char *buffer, quint32 size, const QString &file);

// Writes key = value into section, creating the section or the file when missing. A null
// value deletes the key, a null key deletes the section, a null section only flushes.
// False when the file cannot be written, or when a name or value would change the
// file's structure (a line break, "]" in a section name, "=" in a key name).
LUMORA_PLATFORM_EXPORT bool WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                                       const QString &file);

// Lists the section's lines as "key=value" (blanks around both dropped; comments and
// blank lines left out). Returns the bytes copied without the final NUL.
LUMORA_PLATFORM_EXPORT quint32 GetPrivateProfileSectionA(const char *section, char *buffer, quint32 size,
                                                         const QString &file);

// Lists the names of all sections.
LUMORA_PLATFORM_EXPORT quint32 GetPrivateProfileSectionNamesA(char *buffer, quint32 size, const QString &file);

// Replaces the section's lines with lines (NUL-separated, ended by a second NUL), adding
// the section when missing; null lines deletes the section. False when the file cannot be
// written or a line holds a line break or would start a section.
LUMORA_PLATFORM_EXPORT bool WritePrivateProfileSectionA(const char *section, const char *lines, const QString &file);

} // namespace lumora
