#include "platform/core/PeImage.h"

#include "platform/core/ElfImage.h"

#include <QFile>
#include <QtEndian>

#include <optional>

namespace lumora {

namespace {

constexpr quint16 kDosMagic = 0x5A4D; // "MZ"
constexpr quint32 kPeSignature = 0x00004550; // "PE\0\0"
constexpr quint16 kPe32Magic = 0x10B;
constexpr quint16 kPe32PlusMagic = 0x20B;
constexpr qint64 kSectionHeaderSize = 40;
constexpr qint64 kResourceDirSize = 16;
constexpr qint64 kResourceEntrySize = 8;
constexpr qint64 kResourceDataEntrySize = 16;
constexpr quint32 kHighBit = 0x80000000u;
constexpr quint32 kRtVersion = 16;
constexpr quint32 kVersionInfoId = 1;
constexpr quint32 kNeutralLanguage = 0;
constexpr quint32 kUsEnglish = 0x0409;
// A mapped file is preferred; reading a file that cannot be mapped is capped, because a
// program file this large is not one we want to hold in memory.
constexpr qint64 kMaxReadSize = 256ll * 1024 * 1024;

} // namespace

PeImage::PeImage(const char *data, qsizetype size)
    : m_data(data)
    , m_size(data ? size : 0)
{
    parseHeaders();
}

bool PeImage::within(qint64 offset, qint64 size) const
{
    return offset >= 0 && size >= 0 && offset <= m_size && size <= m_size - offset;
}

quint16 PeImage::u16(qint64 offset) const
{
    return within(offset, 2) ? qFromLittleEndian<quint16>(m_data + offset) : 0;
}

quint32 PeImage::u32(qint64 offset) const
{
    return within(offset, 4) ? qFromLittleEndian<quint32>(m_data + offset) : 0;
}

void PeImage::parseHeaders()
{
    if (!within(0, 64) || u16(0) != kDosMagic)
        return;
    const qint64 pe = u32(0x3C);
    if (!within(pe, 24) || u32(pe) != kPeSignature)
        return;
    const qint64 coff = pe + 4;
    const quint16 sectionCount = u16(coff + 2);
    const quint16 optionalSize = u16(coff + 16);
    const qint64 optional = coff + 20;
    if (optionalSize < 2 || !within(optional, optionalSize))
        return;

    qint64 countField = 0;
    qint64 directories = 0;
    switch (u16(optional)) {
    case kPe32Magic:
        countField = 92;
        directories = 96;
        break;
    case kPe32PlusMagic:
        countField = 108;
        directories = 112;
        m_pe32Plus = true;
        break;
    default:
        return;
    }

    // Directory entry 2 holds the resource tree; older or trimmed headers may not reach it.
    const qint64 resourceEntry = directories + 2 * 8;
    if (countField + 4 <= optionalSize && u32(optional + countField) > 2 && resourceEntry + 8 <= optionalSize)
        m_resourceRva = u32(optional + resourceEntry);

    m_sectionTable = optional + optionalSize;
    m_sectionCount = sectionCount;
    if (!within(m_sectionTable, m_sectionCount * kSectionHeaderSize))
        return;
    m_valid = true;
}

PeImage::Range PeImage::mapRva(quint32 rva, quint32 size) const
{
    for (quint16 i = 0; i < m_sectionCount; ++i) {
        const qint64 header = m_sectionTable + i * kSectionHeaderSize;
        const qint64 va = u32(header + 12);
        const qint64 rawSize = u32(header + 16);
        const qint64 rawPointer = u32(header + 20);
        if (rva < va || rva - va >= rawSize)
            continue;
        const qint64 delta = rva - va;
        if (size > rawSize - delta)
            continue;
        const qint64 offset = rawPointer + delta;
        if (within(offset, size))
            return {offset, size};
    }
    return {};
}

QByteArray PeImage::versionResource() const
{
    if (!m_valid || m_resourceRva == 0)
        return {};

    // The tree may lie anywhere in the resource section's raw data; find how much of it
    // the file really holds.
    qint64 base = -1;
    qint64 areaSize = 0;
    for (quint16 i = 0; i < m_sectionCount && base < 0; ++i) {
        const qint64 header = m_sectionTable + i * kSectionHeaderSize;
        const qint64 va = u32(header + 12);
        const qint64 rawSize = u32(header + 16);
        const qint64 rawPointer = u32(header + 20);
        if (m_resourceRva < va || m_resourceRva - va >= rawSize)
            continue;
        const qint64 start = rawPointer + (m_resourceRva - va);
        const qint64 end = qMin(rawPointer + rawSize, m_size);
        if (start < end) {
            base = start;
            areaSize = end - start;
        }
    }
    if (base < 0)
        return {};

    // Entry of a directory at dirOffset whose id is wanted (any entry when none is given).
    const auto pick = [&](quint32 dirOffset, std::optional<quint32> wanted) -> std::optional<quint32> {
        if (dirOffset > areaSize || areaSize - dirOffset < kResourceDirSize)
            return std::nullopt;
        const qint64 dir = base + dirOffset;
        const qint64 declared = qint64(u16(dir + 12)) + u16(dir + 14);
        const qint64 room = (areaSize - dirOffset - kResourceDirSize) / kResourceEntrySize;
        const qint64 count = qMin(declared, room);
        for (qint64 i = 0; i < count; ++i) {
            const qint64 entry = dir + kResourceDirSize + i * kResourceEntrySize;
            const quint32 name = u32(entry);
            if (!wanted || (!(name & kHighBit) && name == *wanted))
                return u32(entry + 4);
        }
        return std::nullopt;
    };

    // Fixed depth of three (type, name, language) and distinct directories: a tree that
    // points back into itself fails here instead of being followed.
    const auto type = pick(0, kRtVersion);
    if (!type || !(*type & kHighBit))
        return {};
    const quint32 nameDir = *type & ~kHighBit;
    if (nameDir == 0)
        return {};
    auto name = pick(nameDir, kVersionInfoId);
    if (!name)
        name = pick(nameDir, std::nullopt);
    if (!name || !(*name & kHighBit))
        return {};
    const quint32 languageDir = *name & ~kHighBit;
    if (languageDir == 0 || languageDir == nameDir)
        return {};
    // One name may carry a resource per language: prefer the neutral one, then US English
    // (what the string-table fallback expects), then whichever comes first.
    auto language = pick(languageDir, kNeutralLanguage);
    if (!language)
        language = pick(languageDir, kUsEnglish);
    if (!language)
        language = pick(languageDir, std::nullopt);
    if (!language || (*language & kHighBit))
        return {};

    const quint32 dataEntry = *language;
    if (dataEntry > areaSize || areaSize - dataEntry < kResourceDataEntrySize)
        return {};
    const quint32 dataRva = u32(base + dataEntry);
    const quint32 dataSize = u32(base + dataEntry + 4);
    const Range data = mapRva(dataRva, dataSize);
    if (data.offset < 0 || data.size == 0)
        return {};
    return QByteArray(m_data + data.offset, data.size);
}

QByteArray PeImage::versionResourceOfFile(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size <= 0)
        return {};
    if (const uchar *mapped = file.map(0, size)) {
        const QByteArray result = versionResourceOfImage(reinterpret_cast<const char *>(mapped), size);
        file.unmap(const_cast<uchar *>(mapped));
        return result;
    }
    if (size > kMaxReadSize)
        return {};
    const QByteArray contents = file.read(size);
    return versionResourceOfImage(contents.constData(), contents.size());
}

QByteArray PeImage::versionResourceOfImage(const char *data, qsizetype size)
{
    if (ElfImage::looksLikeElf(data, size)) {
        const QByteArray embedded = ElfImage(data, size).section(ElfImage::VersionSectionName);
        return PeImage(embedded.constData(), embedded.size()).versionResource();
    }
    return PeImage(data, size).versionResource();
}

} // namespace lumora
