// Reading and writing .reg text: exact bytes survive, regedit's own files read, and
// damaged input reads as far as it can without crashing.
#include "platform/core/RegFile.h"

#include <gtest/gtest.h>

using lumora::RegFile;

namespace {

QByteArray bytes(const char *s, qsizetype n)
{
    return QByteArray(s, n);
}

const RegFile::Value *find(const RegFile::Parsed &p, const QString &key, const QString &name)
{
    for (const RegFile::Key &k : p.keys) {
        if (k.path.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        for (const RegFile::Value &v : k.values) {
            if (v.name.compare(name, Qt::CaseInsensitive) == 0)
                return &v;
        }
    }
    return nullptr;
}

} // namespace

TEST(RegFile, ExactBytesSurviveAWriteAndARead)
{
    const QList<RegFile::Key> keys{
        {QStringLiteral("HKEY_CURRENT_USER\\Software\\Test"),
         {
             {QString(), 1, bytes("default\0", 8)},
             {QStringLiteral("Normal"), 1, bytes("text\0", 5)},
             {QStringLiteral("NoNul"), 1, bytes("text", 4)},
             {QStringLiteral("TwoNuls"), 1, bytes("text\0\0", 6)},
             {QStringLiteral("InnerNul"), 1, bytes("a\0b\0", 4)},
             {QStringLiteral("Empty"), 1, QByteArray()},
             {QStringLiteral("OnlyNul"), 1, bytes("\0", 1)},
             {QStringLiteral("BadUtf8"), 1, bytes("\xff\xfe\0", 3)},
             {QStringLiteral("Unicode"), 1, QStringLiteral("Grüße 日本 \"q\" C:\\x\\").toUtf8() + '\0'},
             {QStringLiteral("Lines"), 1, bytes("a\r\nb\0", 5)},
             {QStringLiteral("Dword"), 4, bytes("\x0a\0\0\x80", 4)},
             {QStringLiteral("ShortDword"), 4, bytes("\x01\x02", 2)},
             {QStringLiteral("Binary"), 3, QByteArray(300, '\xab')},
             {QStringLiteral("EmptyBinary"), 3, QByteArray()},
             {QStringLiteral("Multi"), 7, bytes("a\0b\0\0", 5)},
             {QStringLiteral("Odd type"), 0xFFFFFFFFu, bytes("x", 1)},
             {QStringLiteral("na\"me\\with\nbreak"), 1, bytes("v\0", 2)},
         }},
        {QStringLiteral("HKEY_CURRENT_USER\\Software\\Test\\Key]with]brackets"), {}},
    };
    const QByteArray text = RegFile::serialise(keys);
    const RegFile::Parsed parsed = RegFile::parse(text);
    EXPECT_EQ(parsed.errorCount, 0) << text.constData();
    EXPECT_EQ(parsed.keys, keys) << text.constData();
}

TEST(RegFile, WritesPlainTextWhereTheBytesAllowIt)
{
    const QByteArray text = RegFile::serialise({{QStringLiteral("HKEY_CURRENT_USER\\A"),
                                                 {{QString(), 1, bytes("d\0", 2)},
                                                  {QStringLiteral("s"), 1, bytes("C:\\\"x\"\0", 7)},
                                                  {QStringLiteral("n"), 4, bytes("\x0a\0\0\0", 4)},
                                                  {QStringLiteral("raw"), 1, bytes("ab", 2)}}}});
    EXPECT_TRUE(text.startsWith("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n"));
    EXPECT_TRUE(text.contains("@=\"d\"\n"));
    EXPECT_TRUE(text.contains("\"s\"=\"C:\\\\\\\"x\\\"\"\n"));
    EXPECT_TRUE(text.contains("\"n\"=dword:0000000a\n"));
    EXPECT_TRUE(text.contains("\"raw\"=hex(1):61,62\n"));
}

TEST(RegFile, ReadsWhatRegeditWrites)
{
    const QString source =
        QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                       "; exported\r\n"
                       "[HKEY_CURRENT_USER\\Software\\App]\r\n"
                       "@=\"Default\"\r\n"
                       "\"Path\"=\"C:\\\\Program Files\\\\\"\r\n"
                       "\"Count\"=dword:0000002A\r\n"
                       "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n"
                       "  18,19\r\n"
                       "\"Expand\"=hex(2):25,00\r\n"
                       "\"Text\"=\"Grüße\"\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(source.utf16()), source.size() * 2);

    for (const QByteArray &input : {utf16, QByteArray("\xEF\xBB\xBF") + source.toUtf8(), source.toUtf8()}) {
        const RegFile::Parsed p = RegFile::parse(input);
        EXPECT_EQ(p.errorCount, 0);
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\App");
        ASSERT_NE(find(p, key, QString()), nullptr);
        EXPECT_EQ(find(p, key, QString())->data, bytes("Default\0", 8));
        EXPECT_EQ(find(p, key, QStringLiteral("path"))->data, bytes("C:\\Program Files\\\0", 18));
        EXPECT_EQ(find(p, key, QStringLiteral("Count"))->type, 4u);
        EXPECT_EQ(find(p, key, QStringLiteral("Count"))->data, bytes("\x2a\0\0\0", 4));
        EXPECT_EQ(find(p, key, QStringLiteral("Blob"))->data.size(), 25);
        EXPECT_EQ(find(p, key, QStringLiteral("Blob"))->data.back(), '\x19');
        EXPECT_EQ(find(p, key, QStringLiteral("Expand"))->type, 2u);
        EXPECT_EQ(find(p, key, QStringLiteral("Text"))->data, QStringLiteral("Grüße").toUtf8() + '\0');
    }
    EXPECT_EQ(RegFile::parse("REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a\"=\"b\"").errorCount, 0);
}

TEST(RegFile, RepeatedSectionsAndValuesMergeWithoutRegardToCase)
{
    const RegFile::Parsed p =
        RegFile::parse("Windows Registry Editor Version 5.00\n"
                       "[HKEY_CURRENT_USER\\Soft\\Key]\n\"One\"=\"1\"\n\"Two\"=\"2\"\n"
                       "[HKEY_CURRENT_USER\\Other]\n"
                       "[hkey_current_user\\SOFT\\\\key\\]\n\"ONE\"=dword:00000001\n\"Three\"=\"3\"\n");
    EXPECT_EQ(p.errorCount, 0);
    ASSERT_EQ(p.keys.size(), 2);
    EXPECT_EQ(p.keys[0].path, QStringLiteral("HKEY_CURRENT_USER\\Soft\\Key"));
    ASSERT_EQ(p.keys[0].values.size(), 3);
    EXPECT_EQ(p.keys[0].values[0].name, QStringLiteral("One")); // first spelling kept
    EXPECT_EQ(p.keys[0].values[0].type, 4u); // later data wins
    EXPECT_EQ(p.keys[0].values[2].name, QStringLiteral("Three"));
}

struct DamagedCase
{
    const char *name;
    QByteArray input;
    bool damaged; // some part could not be read
    const char *keptKey; // a key that must still be read, or nullptr
    const char *keptValue;
};

class RegFileDamaged : public ::testing::TestWithParam<DamagedCase>
{};

TEST_P(RegFileDamaged, ReadsWhatItCanAndSaysWhetherAnythingWasLost)
{
    const DamagedCase &c = GetParam();
    const RegFile::Parsed p = RegFile::parse(c.input);
    EXPECT_EQ(p.errorCount > 0, c.damaged);
    if (c.keptKey) {
        EXPECT_NE(find(p, QString::fromUtf8(c.keptKey), QString::fromUtf8(c.keptValue)), nullptr);
    }
    // Whatever was read writes back cleanly and reads back the same.
    const RegFile::Parsed again = RegFile::parse(RegFile::serialise(p.keys));
    EXPECT_EQ(again.errorCount, 0);
    EXPECT_EQ(again.keys, p.keys);
}

const QByteArray kHead("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n\"ok\"=\"1\"\n");

INSTANTIATE_TEST_SUITE_P(
    Rows, RegFileDamaged,
    ::testing::Values(
        DamagedCase{"Empty", QByteArray(), false, nullptr, nullptr},
        DamagedCase{"NoTrailingNewline", kHead + "\"last\"=\"x\"", false, "HKEY_CURRENT_USER\\K", "last"},
        DamagedCase{"TruncatedInString", kHead + "\"cut\"=\"abc", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"TruncatedInName", kHead + "\"cu", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"TruncatedInHex", kHead + "\"h\"=hex:01,0", false, "HKEY_CURRENT_USER\\K", "h"},
        DamagedCase{"TruncatedAfterContinuation", kHead + "\"h\"=hex:01,\\", false, "HKEY_CURRENT_USER\\K", "h"},
        DamagedCase{"TruncatedInSection", kHead + "[HKEY_CURRENT_US", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"NoHeader", "[HKEY_CURRENT_USER\\K]\n\"ok\"=\"1\"\n", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"NulBytes", kHead + QByteArray("\"n\0l\"=\"a\0b\"\n\0\0\0\n", 16), true, "HKEY_CURRENT_USER\\K",
                    "ok"},
        DamagedCase{"LongLine", kHead + "\"long\"=\"" + QByteArray(100000, 'x') + "\"\n", false, "HKEY_CURRENT_USER\\K",
                    "long"},
        DamagedCase{"LongGarbageLine", kHead + QByteArray(100000, '[') + "\n", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"ValueBeforeSection", "Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n\"c\"=\"d\"\n", true,
                    nullptr, nullptr},
        DamagedCase{"EmptySection", kHead + "[]\n\"x\"=\"y\"\n[\\\\]\n", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"DeletionSyntax", kHead + "[-HKEY_CURRENT_USER\\K]\n\"ok\"=-\n", true, "HKEY_CURRENT_USER\\K",
                    "ok"},
        // Found by fuzzing: the empty first segment dropped, this read as a key "-X" that
        // was written back as the deletion of X.
        DamagedCase{"HyphenAfterEmptySegment", kHead + "[\\-HKEY_CURRENT_USER\\Gone]\r\n\"v\"=\"1\"\r\n", true,
                    "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"BadDword", kHead + "\"d\"=dword:123456789\n\"e\"=dword:xyz\n", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"BadHex", kHead + "\"h\"=hex:123,zz\n\"t\"=hex(100000000):00\n\"u\"=hex(:00\n", true,
                    "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"TextAfterString", kHead + "\"s\"=\"a\" trailing\n", true, "HKEY_CURRENT_USER\\K", "ok"},
        DamagedCase{"OddUtf16", QByteArray("\xFF\xFE[\0K\0]\0\n\0\"\0a\0\"\0=\0\"\0b\0\"\0\n", 25), true, "K", "a"},
        DamagedCase{"LoneSurrogateUtf16", QByteArray("\xFF\xFE[\0K\0]\0\n\0\"\0\x00\xD8\"\0=\0\"\0b\0\"\0", 24), true,
                    "K", "?"},
        DamagedCase{"BinaryGarbage", QByteArray("\x00\xff\x10\x80[\xc3\x28]\n\"\\", 12), true, nullptr, nullptr},
        DamagedCase{"BackslashAtEnd", kHead + "\"q\"=\"a\\", true, "HKEY_CURRENT_USER\\K", "ok"}),
    [](const ::testing::TestParamInfo<DamagedCase> &row) { return std::string(row.param.name); });
