#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>

namespace lumora {

// Finds a named section in an ELF image (32 or 64 bit, either byte order) held in memory.
// Our plugin libraries carry their version resource in such a section, since a shared
// object has no resource directory of its own. The image is untrusted: every header field
// is checked against the buffer before use and a damaged image yields nothing.
class LUMORA_PLATFORM_EXPORT ElfImage
{
public:
    // The section the build writes a library's version resource into: a resource-only PE
    // image, read as any other program file's.
    static constexpr const char *VersionSectionName = ".lumora_version";

    // The bytes are borrowed, not copied; they must outlive this object.
    ElfImage(const char *data, qsizetype size);

    static bool looksLikeElf(const char *data, qsizetype size);

    // Contents of the first section with that name; empty when there is none, it holds no
    // file data, or it reaches past the buffer.
    QByteArray section(const QByteArray &name) const;

private:
    quint64 word(qint64 offset, int bytes) const;
    bool within(qint64 offset, qint64 size) const;

    const char *m_data;
    qint64 m_size;
    bool m_valid = false;
    bool m_is64 = false;
    bool m_bigEndian = false;
    qint64 m_sectionTable = 0;
    qint64 m_sectionEntrySize = 0;
    quint32 m_sectionCount = 0;
    quint32 m_namesIndex = 0;
};

} // namespace lumora
