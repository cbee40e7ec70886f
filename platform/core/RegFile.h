#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace lumora {

// Reads and writes the text of .reg files. Pure: bytes in, keys out, and back; the store
// does all file handling. Parsing never fails as a whole: what cannot be read is skipped
// and counted, so the caller can keep a copy of a damaged original.
class LUMORA_PLATFORM_EXPORT RegFile
{
public:
    struct Value
    {
        QString name; // empty for the default value
        quint32 type = 0;
        QByteArray data; // exact stored bytes
        bool operator==(const Value &) const = default;
    };

    struct Key
    {
        QString path; // full path with its root, e.g. "HKEY_CURRENT_USER\Software\X"
        QList<Value> values;
        bool operator==(const Key &) const = default;
    };

    struct Parsed
    {
        QList<Key> keys; // in order of first appearance; repeated sections merged
        int errorCount = 0; // lines or values that could not be read
        bool operator==(const Parsed &) const = default;
    };

    static Parsed parse(const QByteArray &bytes);
    // UTF-8 text with the version 5 header, one section per key, in the given order.
    static QByteArray serialise(const QList<Key> &keys);

    // Splits a key path on backslashes, dropping empty segments.
    static QStringList splitPath(const QString &path);
};

} // namespace lumora
