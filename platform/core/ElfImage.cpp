#include "platform/core/ElfImage.h"

#include <QtEndian>

#include <cstring>

namespace lumora {

namespace {

constexpr unsigned char kElfClass32 = 1;
constexpr unsigned char kElfClass64 = 2;
constexpr unsigned char kLittleEndian = 1;
constexpr unsigned char kBigEndian = 2;
constexpr quint32 kSectionNoBits = 8;
// Extended numbering (more than 0xff00 sections) keeps the real counts in section 0; our
// libraries never need it, so such images are not searched.
constexpr quint32 kSectionIndexReserve = 0xff00;

} // namespace

ElfImage::ElfImage(const char *data, qsizetype size)
    : m_data(data)
    , m_size(data ? size : 0)
{
    if (!looksLikeElf(m_data, m_size))
        return;
    const auto elfClass = static_cast<unsigned char>(m_data[4]);
    const auto byteOrder = static_cast<unsigned char>(m_data[5]);
    if ((elfClass != kElfClass32 && elfClass != kElfClass64) || (byteOrder != kLittleEndian && byteOrder != kBigEndian))
        return;
    m_is64 = elfClass == kElfClass64;
    m_bigEndian = byteOrder == kBigEndian;
    const qint64 headerSize = m_is64 ? 64 : 52;
    if (!within(0, headerSize))
        return;
    const quint64 table = m_is64 ? word(0x28, 8) : word(0x20, 4);
    const qint64 fieldBase = m_is64 ? 0x3A : 0x2E;
    m_sectionEntrySize = qint64(word(fieldBase, 2));
    m_sectionCount = quint32(word(fieldBase + 2, 2));
    m_namesIndex = quint32(word(fieldBase + 4, 2));
    const qint64 minimumEntry = m_is64 ? 64 : 40;
    if (m_sectionCount == 0 || m_sectionCount >= kSectionIndexReserve || m_namesIndex >= m_sectionCount
        || m_sectionEntrySize < minimumEntry || table > quint64(m_size))
        return;
    m_sectionTable = qint64(table);
    if (!within(m_sectionTable, m_sectionEntrySize * m_sectionCount))
        return;
    m_valid = true;
}

bool ElfImage::looksLikeElf(const char *data, qsizetype size)
{
    return data && size >= 16
        && std::memcmp(data,
                       "\x7F"
                       "ELF",
                       4)
        == 0;
}

bool ElfImage::within(qint64 offset, qint64 size) const
{
    return offset >= 0 && size >= 0 && offset <= m_size && size <= m_size - offset;
}

quint64 ElfImage::word(qint64 offset, int bytes) const
{
    if (!within(offset, bytes))
        return 0;
    const char *p = m_data + offset;
    switch (bytes) {
    case 2:
        return m_bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
    case 4:
        return m_bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    default:
        return m_bigEndian ? qFromBigEndian<quint64>(p) : qFromLittleEndian<quint64>(p);
    }
}

QByteArray ElfImage::section(const QByteArray &name) const
{
    if (!m_valid || name.isEmpty())
        return {};
    const int addressBytes = m_is64 ? 8 : 4;
    // Field offsets inside a section header: name, type, then file offset and size after
    // the flags and address, whose widths follow the class.
    const qint64 offsetField = m_is64 ? 0x18 : 0x10;
    const qint64 sizeField = m_is64 ? 0x20 : 0x14;
    auto header = [&](quint32 index) { return m_sectionTable + qint64(index) * m_sectionEntrySize; };

    const qint64 names = header(m_namesIndex);
    const quint64 namesOffset = word(names + offsetField, addressBytes);
    const quint64 namesSize = word(names + sizeField, addressBytes);
    if (namesOffset > quint64(m_size) || namesSize > quint64(m_size) - namesOffset)
        return {};

    for (quint32 i = 0; i < m_sectionCount; ++i) {
        const qint64 h = header(i);
        const quint64 nameAt = word(h, 4);
        // The name must end, with its NUL, inside the string table.
        if (nameAt >= namesSize || namesSize - nameAt < quint64(name.size()) + 1)
            continue;
        const char *candidate = m_data + namesOffset + nameAt;
        if (std::memcmp(candidate, name.constData(), size_t(name.size())) != 0 || candidate[name.size()] != '\0')
            continue;
        if (word(h + 4, 4) == kSectionNoBits)
            return {};
        const quint64 offset = word(h + offsetField, addressBytes);
        const quint64 size = word(h + sizeField, addressBytes);
        if (offset > quint64(m_size) || size > quint64(m_size) - offset)
            return {};
        return QByteArray(m_data + offset, qsizetype(size));
    }
    return {};
}

} // namespace lumora
