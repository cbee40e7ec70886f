#include "platform/core/PeImage.h"
#include "platform/core/VersionInfo.h"
#include "platform/core/VersionResource.h"
#include "tools/PeWriter.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using lumora::PeImage;
using lumora::PeWriter;
using lumora::VersionResource;

namespace {

PeWriter::VersionData sampleData()
{
    PeWriter::VersionData data;
    data.fileVersion[0] = 1;
    data.fileVersion[1] = 6;
    data.fileVersion[3] = 5;
    data.stringTables.append({QStringLiteral("040904B0"),
                              {{QStringLiteral("CompanyName"), QStringLiteral("Corvane Software")},
                               {QStringLiteral("ProductName"), QStringLiteral("Lumora")}}});
    return data;
}

void put32(QByteArray &b, qsizetype at, quint32 v)
{
    if (at + 4 <= b.size())
        qToLittleEndian(v, b.data() + at);
}

void put16(QByteArray &b, qsizetype at, quint16 v)
{
    if (at + 2 <= b.size())
        qToLittleEndian(v, b.data() + at);
}

constexpr int kCoff = PeWriter::PeHeaderOffset + 4;
constexpr int kOptional = kCoff + 20;
constexpr int kRsrc = PeWriter::ResourceFileOffset;
constexpr int kData = kRsrc + PeWriter::ResourceDataOffset;
constexpr int kSection32 = kOptional + 224;

struct HostileCase
{
    const char *name;
    bool pe32Plus;
    std::function<void(QByteArray &)> damage;
    bool expectResource; // the PE walk still finds the resource
    bool expectBlock; // ...and it parses as a version resource
};

void PrintTo(const HostileCase &c, std::ostream *os)
{
    *os << c.name;
}

class PeImageHostile : public ::testing::TestWithParam<HostileCase>
{};

TEST_P(PeImageHostile, NeverReadsOutsideAndYieldsExpectedResult)
{
    const HostileCase &c = GetParam();
    QByteArray bytes = PeWriter::image(PeWriter::versionResource(sampleData()), c.pe32Plus);
    c.damage(bytes);
    // A detached copy, so ASan sees the exact extent of what the reader may touch.
    const QByteArray exact(bytes.constData(), bytes.size());
    const QByteArray resource = PeImage(exact.constData(), exact.size()).versionResource();
    EXPECT_EQ(!resource.isEmpty(), c.expectResource);
    EXPECT_EQ(!lumora::ver::versionBlockFromResource(resource).isEmpty(), c.expectBlock);
}

const auto none = [](QByteArray &) {};
const auto truncateTo = [](qsizetype size) { return [size](QByteArray &b) { b.truncate(size); }; };

INSTANTIATE_TEST_SUITE_P(
    Rows, PeImageHostile,
    ::testing::Values(
        HostileCase {"IntactPe32", false, none, true, true},
        HostileCase {"IntactPe32Plus", true, none, true, true},
        HostileCase {"EmptyFile", false, truncateTo(0), false, false},
        HostileCase {"OnlyDosMagic", false, truncateTo(2), false, false},
        HostileCase {"CutBeforePeOffset", false, truncateTo(0x3C), false, false},
        HostileCase {"CutInsideCoffHeader", false, truncateTo(kCoff + 10), false, false},
        HostileCase {"CutInsideOptionalHeader", false, truncateTo(kOptional + 100), false, false},
        HostileCase {"CutInsideSectionTable", false, truncateTo(kSection32 + 20), false, false},
        HostileCase {"CutInsideResourceTree", false, truncateTo(kRsrc + 30), false, false},
        HostileCase {"CutInsideResourceData", false, truncateTo(kData + 40), false, false},
        HostileCase {"NotMz", false, [](QByteArray &b) { b[0] = 'X'; }, false, false},
        HostileCase {"PeOffsetHuge", false, [](QByteArray &b) { put32(b, 0x3C, 0xFFFFFFF0u); }, false, false},
        HostileCase {"PeOffsetNegativeAsSigned", false, [](QByteArray &b) { put32(b, 0x3C, 0x80000000u); }, false, false},
        HostileCase {"BadPeSignature", false, [](QByteArray &b) { b[PeWriter::PeHeaderOffset] = 'N'; }, false, false},
        HostileCase {"UnknownOptionalMagic", false, [](QByteArray &b) { put16(b, kOptional, 0x107); }, false, false},
        HostileCase {"OptionalHeaderSizeHuge", false, [](QByteArray &b) { put16(b, kCoff + 16, 0xFFFF); }, false, false},
        HostileCase {"OptionalHeaderTooSmallForResources", false, [](QByteArray &b) { put16(b, kCoff + 16, 96); },
                     false, false},
        HostileCase {"SectionCountHuge", false, [](QByteArray &b) { put16(b, kCoff + 2, 0xFFFF); }, false, false},
        HostileCase {"NoSections", false, [](QByteArray &b) { put16(b, kCoff + 2, 0); }, false, false},
        HostileCase {"TwoDataDirectoriesOnly", false, [](QByteArray &b) { put32(b, kOptional + 92, 2); }, false, false},
        HostileCase {"ResourceRvaOutsideSections", false, [](QByteArray &b) { put32(b, kOptional + 96 + 16, 0x90000); },
                     false, false},
        HostileCase {"SectionRawPointerPastEnd", false, [](QByteArray &b) { put32(b, kSection32 + 20, 0x7FFFFFFF); },
                     false, false},
        HostileCase {"SectionRawSizeHuge", false, [](QByteArray &b) { put32(b, kSection32 + 16, 0xFFFFFFFF); },
                     true, true},
        HostileCase {"RootEntryCountHuge", false, [](QByteArray &b) { put16(b, kRsrc + 14, 0xFFFF); }, true, true},
        HostileCase {"RootPointsToItself", false, [](QByteArray &b) { put32(b, kRsrc + 20, 0x80000000u); }, false, false},
        HostileCase {"NameDirectoryLoops", false,
                     [](QByteArray &b) { put32(b, kRsrc + PeWriter::NameDirectoryOffset + 20, 0x80000000u | PeWriter::NameDirectoryOffset); },
                     false, false},
        HostileCase {"NameDirectoryPointsToRoot", false,
                     [](QByteArray &b) { put32(b, kRsrc + PeWriter::NameDirectoryOffset + 20, 0x80000000u); }, false, false},
        HostileCase {"LanguageEntryIsDirectory", false,
                     [](QByteArray &b) { put32(b, kRsrc + PeWriter::LanguageDirectoryOffset + 20, 0x80000000u | PeWriter::NameDirectoryOffset); },
                     false, false},
        HostileCase {"TypeDirectoryOutOfRange", false, [](QByteArray &b) { put32(b, kRsrc + 20, 0xFFFFFFFFu); }, false, false},
        HostileCase {"DataEntryOutOfRange", false,
                     [](QByteArray &b) { put32(b, kRsrc + PeWriter::LanguageDirectoryOffset + 20, 0x7FFFFFF0u); }, false, false},
        HostileCase {"DataSizeHuge", false, [](QByteArray &b) { put32(b, kRsrc + PeWriter::DataEntryOffset + 4, 0xFFFFFFFFu); },
                     false, false},
        HostileCase {"DataRvaWraps", false, [](QByteArray &b) { put32(b, kRsrc + PeWriter::DataEntryOffset, 0xFFFFFFF0u); },
                     false, false},
        HostileCase {"NoVersionType", false, [](QByteArray &b) { put32(b, kRsrc + 16, 3); }, false, false},
        HostileCase {"VersionRootLongerThanData", false, [](QByteArray &b) { put16(b, kData, 0xFFFF); }, true, false},
        HostileCase {"VersionRootTooShort", false, [](QByteArray &b) { put16(b, kData, 4); }, true, false},
        HostileCase {"VersionKeyUnterminated", false,
                     [](QByteArray &b) {
                         const quint16 length = qFromLittleEndian<quint16>(b.constData() + kData);
                         for (int i = kData + 6; i < kData + length; ++i)
                             b[i] = 'A';
                     },
                     true, false},
        HostileCase {"VersionKeyWrong", false, [](QByteArray &b) { b[kData + 6] = 'X'; }, true, false},
        HostileCase {"Pe32PlusCutInsideOptionalHeader", true, truncateTo(kOptional + 110), false, false},
        HostileCase {"Pe32PlusRvaCountTooSmall", true, [](QByteArray &b) { put32(b, kOptional + 108, 1); }, false, false}),
    [](const ::testing::TestParamInfo<HostileCase> &row) { return std::string(row.param.name); });

// Children that lie about their own sizes are dropped without losing the parts before them.
TEST(VersionResourceParse, DamagedChildrenKeepEarlierParts)
{
    QByteArray raw = PeWriter::versionResource(sampleData());
    auto parsed = VersionResource::parse(raw);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->fixedInfo.size(), VersionResource::FixedInfoSize);
    ASSERT_EQ(parsed->stringTables.size(), 1);
    EXPECT_EQ(parsed->stringTables[0].entries.size(), 2);
    EXPECT_EQ(parsed->translations, QList<quint32>({0x04B00409}));

    // The StringFileInfo child sits after the key and fixed record: 6 + 32 + 52 = 92 bytes.
    QByteArray zeroChild = raw;
    put16(zeroChild, 92, 0);
    parsed = VersionResource::parse(zeroChild);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->fixedInfo.size(), VersionResource::FixedInfoSize);
    EXPECT_TRUE(parsed->stringTables.isEmpty());
    EXPECT_TRUE(parsed->translations.isEmpty());

    QByteArray hugeChild = raw;
    put16(hugeChild, 92, 0xFFF0);
    parsed = VersionResource::parse(hugeChild);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->stringTables.isEmpty());
}

TEST(VersionResourceParse, MissingSignatureMeansNoFixedRecord)
{
    QByteArray raw = PeWriter::versionResource(sampleData());
    put32(raw, 40, 0x12345678); // the signature, after the 6-byte header and 32-byte key + padding
    const auto parsed = VersionResource::parse(raw);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->fixedInfo.isEmpty());
    EXPECT_EQ(parsed->stringTables.size(), 1);
}

// Some writers count text value lengths in bytes; the value must still stop at its node.
TEST(VersionResourceParse, OversizedTextLengthStaysInsideNode)
{
    PeWriter::VersionData data;
    data.stringTables.append(
        {QStringLiteral("040904B0"),
         {{QStringLiteral("A"), QStringLiteral("one")}, {QStringLiteral("B"), QStringLiteral("two")}}});
    QByteArray raw = PeWriter::versionResource(data);
    const qsizetype first = raw.indexOf(QByteArray("A\0\0\0", 4)) - 6;
    ASSERT_GT(first, 0);
    put16(raw, first + 2, 0x7FFF);
    const auto parsed = VersionResource::parse(raw);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->stringTables.size(), 1);
    ASSERT_EQ(parsed->stringTables[0].entries.size(), 2);
    EXPECT_EQ(parsed->stringTables[0].entries[0].second, QStringLiteral("one"));
    EXPECT_EQ(parsed->stringTables[0].entries[1].second, QStringLiteral("two"));
}

} // namespace

namespace {

QByteArray resourceNamed(const QString &company)
{
    PeWriter::VersionData data;
    data.stringTables.append({QStringLiteral("040904B0"), {{QStringLiteral("CompanyName"), company}}});
    return PeWriter::versionResource(data);
}

QString companyOf(const QByteArray &image)
{
    const auto parsed = VersionResource::parse(PeImage(image.constData(), image.size()).versionResource());
    return parsed && !parsed->stringTables.isEmpty() ? parsed->stringTables[0].entries.value(0).second : QString();
}

// A file with a version resource per language is read in the neutral language, else in
// US English, else in its first language.
TEST(PeImageLanguages, PrefersNeutralThenUsEnglish)
{
    const auto arabic = qMakePair(quint16(0x0401), resourceNamed(QStringLiteral("ar")));
    const auto german = qMakePair(quint16(0x0407), resourceNamed(QStringLiteral("de")));
    const auto english = qMakePair(quint16(0x0409), resourceNamed(QStringLiteral("en")));
    const auto neutral = qMakePair(quint16(0x0000), resourceNamed(QStringLiteral("neutral")));
    EXPECT_EQ(companyOf(PeWriter::image({arabic, german, english}, false)), QStringLiteral("en"));
    EXPECT_EQ(companyOf(PeWriter::image({arabic, english, neutral}, true)), QStringLiteral("neutral"));
    EXPECT_EQ(companyOf(PeWriter::image({german, arabic}, false)), QStringLiteral("de"));
}

} // namespace
