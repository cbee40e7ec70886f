#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace lumora {

// The parts of a VS_VERSIONINFO resource (the 32-bit, UTF-16 form found in PE images):
// the fixed-information record, the translations and the string tables.
class LUMORA_PLATFORM_EXPORT VersionResource
{
public:
    static constexpr int FixedInfoSize = 52;
    static constexpr quint32 FixedInfoSignature = 0xFEEF04BDu;

    struct StringTable
    {
        QString key; // language and code page as eight hex digits, e.g. "040904B0"
        QList<QPair<QString, QString>> entries;
    };

    // Reads an untrusted resource; nullopt when the root node itself is damaged. Damaged
    // children are dropped, leaving the parts read before them.
    static std::optional<VersionResource> parse(const QByteArray &raw);

    // Empty, or the 52 bytes of the fixed record as stored (little-endian words).
    QByteArray fixedInfo;
    QList<quint32> translations;
    QList<StringTable> stringTables;
};

} // namespace lumora
