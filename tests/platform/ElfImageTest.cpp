#include "platform/core/ElfImage.h"
#include "platform/core/PeImage.h"

#include <QList>
#include <QtEndian>

#include <cstring>

#include <gtest/gtest.h>

using lumora::ElfImage;

namespace {

// A minimal ELF file: header, the section contents, then the section table with a null
// section, the name table and the sections asked for.
struct Section
{
    QByteArray name;
    QByteArray data;
    quint32 type = 1; // PROGBITS
};

class ElfBuilder
{
public:
    ElfBuilder(bool is64, bool bigEndian)
        : m_is64(is64)
        , m_big(bigEndian)
    {
    }

    QByteArray build(const QList<Section> &sections)
    {
        QByteArray names("\0.shstrtab\0", 11);
        QList<quint32> nameOffsets;
        for (const Section &s : sections) {
            nameOffsets.append(quint32(names.size()));
            names += s.name + '\0';
        }
        const int header = m_is64 ? 64 : 52;
        const int entry = m_is64 ? 64 : 40;
        m_out = QByteArray(header, '\0');
        QList<quint64> offsets;
        offsets.append(quint64(m_out.size()));
        m_out += names;
        for (const Section &s : sections) {
            offsets.append(quint64(m_out.size()));
            m_out += s.data;
        }
        const qint64 table = m_out.size();
        const int count = int(sections.size()) + 2;
        m_out += QByteArray(entry * count, '\0');

        std::memcpy(m_out.data(),
                    "\x7F"
                    "ELF",
                    4);
        m_out[4] = char(m_is64 ? 2 : 1);
        m_out[5] = char(m_big ? 2 : 1);
        m_out[6] = 1;
        const int field = m_is64 ? 0x3A : 0x2E;
        put(m_is64 ? 0x28 : 0x20, table, m_is64 ? 8 : 4);
        put(field, quint64(entry), 2);
        put(field + 2, quint64(count), 2);
        put(field + 4, 1, 2);

        auto section = [&](int index, quint32 name, quint32 type, quint64 offset, quint64 size) {
            const qint64 at = table + qint64(index) * entry;
            put(at, name, 4);
            put(at + 4, type, 4);
            put(at + (m_is64 ? 0x18 : 0x10), offset, m_is64 ? 8 : 4);
            put(at + (m_is64 ? 0x20 : 0x14), size, m_is64 ? 8 : 4);
        };
        section(1, 1, 3, offsets[0], quint64(names.size()));
        for (int i = 0; i < sections.size(); ++i)
            section(i + 2, nameOffsets[i], sections[i].type, offsets[i + 1], quint64(sections[i].data.size()));
        return m_out;
    }

private:
    void put(qint64 at, quint64 value, int bytes)
    {
        char *p = m_out.data() + at;
        switch (bytes) {
        case 2:
            m_big ? qToBigEndian(quint16(value), p) : qToLittleEndian(quint16(value), p);
            break;
        case 4:
            m_big ? qToBigEndian(quint32(value), p) : qToLittleEndian(quint32(value), p);
            break;
        default:
            m_big ? qToBigEndian(value, p) : qToLittleEndian(value, p);
        }
    }

    bool m_is64;
    bool m_big;
    QByteArray m_out;
};

QByteArray sectionOf(const QByteArray &image, const char *name = ElfImage::VersionSectionName)
{
    return ElfImage(image.constData(), image.size()).section(name);
}

TEST(ElfImage, FindsTheNamedSectionInEveryLayout)
{
    for (const bool is64 : {true, false}) {
        for (const bool big : {false, true}) {
            const QByteArray image = ElfBuilder(is64, big).build(
                {{".lumora_version2", "wrong"}, {".text", "code"}, {ElfImage::VersionSectionName, "payload"}});
            EXPECT_EQ(sectionOf(image), QByteArray("payload")) << is64 << big;
            EXPECT_EQ(sectionOf(image, ".text"), QByteArray("code"));
            EXPECT_TRUE(sectionOf(image, ".data").isEmpty());
        }
    }
}

TEST(ElfImage, DamagedImagesYieldNothing)
{
    const QByteArray good = ElfBuilder(true, false).build({{ElfImage::VersionSectionName, "payload"}});
    ASSERT_EQ(sectionOf(good), QByteArray("payload"));

    // The section table comes last: every truncation cuts into it.
    for (qsizetype size = 0; size < good.size(); ++size)
        EXPECT_TRUE(sectionOf(good.left(size)).isEmpty()) << size;

    QByteArray farTable = good;
    qToLittleEndian(quint64(0xFFFFFFFFFFFF0000ull), farTable.data() + 0x28);
    EXPECT_TRUE(sectionOf(farTable).isEmpty());

    QByteArray noBits = ElfBuilder(true, false).build({{ElfImage::VersionSectionName, "payload", 8}});
    EXPECT_TRUE(sectionOf(noBits).isEmpty());

    // A section that claims more bytes than the file has.
    QByteArray longSection = good;
    const qint64 table = qFromLittleEndian<quint64>(good.constData() + 0x28);
    qToLittleEndian(quint64(1) << 40, longSection.data() + table + 2 * 64 + 0x20);
    EXPECT_TRUE(sectionOf(longSection).isEmpty());

    // A PE reader given an ELF without the section finds no version.
    EXPECT_TRUE(lumora::PeImage::versionResourceOfImage(good.constData(), good.size()).isEmpty());
}

} // namespace
