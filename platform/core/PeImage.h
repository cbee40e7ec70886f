#pragma once

#include "platform/core/PlatformExport.h"

#include <QByteArray>
#include <QString>

namespace lumora {

// Walks a Windows PE image (PE32 or PE32+) held in memory down to its version resource.
// The image is untrusted: every header field is checked against the buffer before use and
// a damaged image simply yields nothing.
class LUMORA_PLATFORM_EXPORT PeImage
{
public:
    // The bytes are borrowed, not copied; they must outlive this object.
    PeImage(const char *data, qsizetype size);

    bool isValid() const { return m_valid; }
    bool isPe32Plus() const { return m_pe32Plus; }

    // Raw bytes of the version resource (type 16), preferring name id 1 and the neutral or
    // US English language below it; empty when the image has none or its resource tree is damaged.
    QByteArray versionResource() const;

    // Maps the file read-only and returns its version resource; empty on any failure.
    static QByteArray versionResourceOfFile(const QString &path);
    // The version resource of a PE image, or of the PE image an ELF shared object carries
    // in its version section.
    static QByteArray versionResourceOfImage(const char *data, qsizetype size);

private:
    struct Range
    {
        qint64 offset = -1;
        qint64 size = 0;
    };

    void parseHeaders();
    // File range holding [rva, rva + size), or offset -1 when any part lies outside a
    // section's raw data or outside the buffer.
    Range mapRva(quint32 rva, quint32 size) const;
    quint16 u16(qint64 offset) const;
    quint32 u32(qint64 offset) const;
    bool within(qint64 offset, qint64 size) const;

    const char *m_data;
    qint64 m_size;
    bool m_valid = false;
    bool m_pe32Plus = false;
    qint64 m_sectionTable = 0;
    quint16 m_sectionCount = 0;
    quint32 m_resourceRva = 0;
};

} // namespace lumora
