#include "platform/core/IniDocument.h"

#include <gtest/gtest.h>

using lumora::IniDocument;

namespace {

// A byte array from a literal with embedded NULs.
template<std::size_t N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

QByteArray value(const IniDocument &doc, const char *section, const char *key)
{
    const auto v = doc.value(section, key);
    return v ? *v : QByteArrayLiteral("<missing>");
}

} // namespace

TEST(IniDocument, ReadsNamesCaseInsensitivelyAndSplitsAtFirstEquals)
{
    const IniDocument doc = IniDocument::parse("; comment=1\n"
                                               "[Setup]\n"
                                               "  Init  =  1  \n"
                                               "url=a=b=c\n"
                                               "[EntryID]\n"
                                               "EID0 = 00AB|00CD\n"
                                               "bare line\n"
                                               "; eid1=hidden\n"
                                               "\n");
    EXPECT_EQ(value(doc, "setup", "INIT"), "1");
    EXPECT_EQ(value(doc, "Setup", "url"), "a=b=c");
    EXPECT_EQ(value(doc, "ENTRYID", "eid0"), "00AB|00CD");
    EXPECT_EQ(value(doc, "EntryID", "bare line"), "<missing>");
    EXPECT_EQ(value(doc, "EntryID", "; eid1"), "<missing>");
    EXPECT_EQ(value(doc, "Nowhere", "Init"), "<missing>");
    EXPECT_EQ(doc.sectionNames(), (QList<QByteArray>{"Setup", "EntryID"}));
    EXPECT_EQ(doc.keys("entryid"), (QList<QByteArray>{"EID0"}));
    EXPECT_EQ(doc.sectionLines("EntryID"), (QList<QByteArray>{"EID0=00AB|00CD", "bare line"}));
}

// Hand-edited files indent with tabs as often as with blanks; both are padding.
TEST(IniDocument, TabsPadNamesValuesAndSectionLinesLikeBlanks)
{
    const IniDocument doc = IniDocument::parse("\t[\tSetup\t]\t\n"
                                               "\tInit\t=\t1\t\n"
                                               "[EntryID]\n"
                                               "\t \tEID0\t= 00AB|00CD\t\n");
    EXPECT_EQ(value(doc, "Setup", "Init"), "1");
    EXPECT_EQ(value(doc, "\tsetup ", "\tinit\t"), "1");
    EXPECT_EQ(value(doc, "EntryID", "EID0"), "00AB|00CD");
    EXPECT_EQ(doc.sectionNames(), (QList<QByteArray>{"Setup", "EntryID"}));
    EXPECT_EQ(doc.keys("Setup"), (QList<QByteArray>{"Init"}));
}

TEST(IniDocument, RepeatedSectionsReadTheFirstAndDeleteAll)
{
    IniDocument doc = IniDocument::parse("[A]\nk=first\n[b]\nx=1\n[a]\nk=second\nonly=here\n");
    EXPECT_EQ(value(doc, "a", "k"), "first");
    EXPECT_EQ(value(doc, "a", "only"), "<missing>");
    EXPECT_EQ(doc.sectionNames(), (QList<QByteArray>{"A", "b"}));
    EXPECT_TRUE(doc.removeSection("A"));
    EXPECT_EQ(doc.serialize(), "[b]\nx=1\n");
}

TEST(IniDocument, EditsChangeOnlyTheirOwnLines)
{
    const QByteArray original = "\xEF\xBB\xBF; keep me\r\n"
                                "[Setup]\r\n"
                                "Init = 1\r\n"
                                "\r\n"
                                "[EntryID]\r\n"
                                "EID0=x\r\n"
                                "  ; trailing comment";
    IniDocument doc = IniDocument::parse(original);
    EXPECT_EQ(doc.serialize(), original);

    // Same value: nothing to write, the blanks around it survive.
    EXPECT_FALSE(doc.setValue("setup", "init", "1"));
    EXPECT_TRUE(doc.setValue("setup", "INIT", "0"));
    // A new key goes after the section's last line, before the blank separator.
    EXPECT_TRUE(doc.setValue("Setup", "Extra", "e"));
    // A new section goes to the end; the last line gets the file's line end first.
    EXPECT_TRUE(doc.setValue("New", "k", "v"));
    EXPECT_EQ(doc.serialize(),
              "\xEF\xBB\xBF; keep me\r\n"
              "[Setup]\r\n"
              "Init=0\r\n"
              "Extra=e\r\n"
              "\r\n"
              "[EntryID]\r\n"
              "EID0=x\r\n"
              "  ; trailing comment\r\n"
              "[New]\r\n"
              "k=v\r\n");

    EXPECT_TRUE(doc.removeKey("setup", "extra"));
    EXPECT_FALSE(doc.removeKey("setup", "extra"));
    EXPECT_FALSE(doc.removeSection("missing"));
    EXPECT_TRUE(doc.removeSection("new"));
    EXPECT_TRUE(doc.setValue("setup", "init", "1"));
    EXPECT_EQ(doc.serialize(),
              "\xEF\xBB\xBF; keep me\r\n"
              "[Setup]\r\n"
              "Init=1\r\n"
              "\r\n"
              "[EntryID]\r\n"
              "EID0=x\r\n"
              "  ; trailing comment\r\n");
}

TEST(IniDocument, ReplaceSectionKeepsNeighboursAndSeparators)
{
    IniDocument doc = IniDocument::parse("[Setup]\nInit=0\n\n[EntryID]\nEID0=a\n; old\nEID1=b\n\n[Tail]\nt=1");
    EXPECT_TRUE(doc.replaceSection("entryid", {"EID0 = c", "EID1 = d", "EID2 = e"}));
    EXPECT_EQ(doc.serialize(), "[Setup]\nInit=0\n\n[EntryID]\nEID0 = c\nEID1 = d\nEID2 = e\n\n[Tail]\nt=1");
    EXPECT_EQ(value(doc, "EntryID", "eid2"), "e");
    EXPECT_FALSE(doc.replaceSection("EntryID", {"EID0 = c", "EID1 = d", "EID2 = e"}));

    // The last section of a file without a final line end keeps it that way.
    EXPECT_TRUE(doc.replaceSection("tail", {"u=2", "v=3"}));
    EXPECT_TRUE(doc.serialize().endsWith("[Tail]\nu=2\nv=3"));
    // An empty list leaves the header alone.
    EXPECT_TRUE(doc.replaceSection("EntryID", {}));
    EXPECT_TRUE(doc.serialize().contains("[EntryID]\n\n[Tail]"));
    EXPECT_TRUE(doc.hasSection("EntryID"));
    EXPECT_TRUE(doc.keys("EntryID").isEmpty());
    // Missing section: appended, header included.
    EXPECT_TRUE(doc.replaceSection("Fresh", {"a=1"}));
    EXPECT_TRUE(doc.serialize().endsWith("v=3\n[Fresh]\na=1\n"));
}

struct BadInput
{
    const char *name;
    QByteArray data;
};

class IniDocumentBadInput : public testing::TestWithParam<BadInput>
{};

// Whatever the input, reading must not crash, and an edit must keep every byte it did
// not change: the original comes back unchanged ahead of the appended section.
TEST_P(IniDocumentBadInput, ReadsAndKeepsUnchangedBytes)
{
    const QByteArray data = GetParam().data;
    IniDocument doc = IniDocument::parse(data);
    EXPECT_EQ(doc.serialize(), data);
    (void)doc.sectionNames();
    (void)doc.sectionLines("a");
    (void)doc.value("a", "k");

    ASSERT_TRUE(doc.setValue("Appended", "key", "value"));
    const QByteArray out = doc.serialize();
    EXPECT_TRUE(out.startsWith(data));
    // Appended lines follow the file's own line ends.
    EXPECT_TRUE(out.endsWith("[Appended]\nkey=value\n") || out.endsWith("[Appended]\r\nkey=value\r\n")
                || out.endsWith("[Appended]\rkey=value\r"));
    EXPECT_EQ(value(IniDocument::parse(out), "appended", "KEY"), "value");
}

INSTANTIATE_TEST_SUITE_P(Rows, IniDocumentBadInput,
                         testing::Values(BadInput{"Empty", QByteArray()},
                                         BadInput{"OnlyBom", QByteArray("\xEF\xBB\xBF")},
                                         BadInput{"Crlf", QByteArray("[a]\r\nk=1\r\n")},
                                         BadInput{"NoTrailingNewline", QByteArray("[a]\nk=1")},
                                         BadInput{"NulBytes", raw("[a\0b]\nk\0x=1\0y\n\0\n")},
                                         BadInput{"LongLine", QByteArray("[a]\nk=") + QByteArray(100000, 'x') + "\n"},
                                         BadInput{"LongHeader", QByteArray("[") + QByteArray(100000, 'h')},
                                         BadInput{"RepeatedSections", QByteArray("[a]\nk=1\n[a]\nk=2\n")},
                                         BadInput{"LoneCarriageReturns", QByteArray("[a]\rk=1\r\r")},
                                         BadInput{"UnclosedHeader", QByteArray("[a\nk=1\n")},
                                         BadInput{"Binary", QByteArray("\xFF\xFE[\x80]=\xC3\n=\n[]\n")}),
                         [](const testing::TestParamInfo<BadInput> &row) { return std::string(row.param.name); });

TEST(IniDocument, NulInsideNamesAndValuesCutsThem)
{
    const IniDocument doc = IniDocument::parse(raw("[a]\nk=1\0hidden\nx\0y=2\n"));
    EXPECT_EQ(value(doc, "a", "k"), "1");
    EXPECT_EQ(doc.sectionLines("a"), (QList<QByteArray>{"k=1", "x=2"}));
}

// Found by fuzzing: the decoder that compares non-ASCII names dropped a leading U+FEFF, so
// "\uFEFFB" was read as "b" and a section replaced without it still seemed to hold the key.
TEST(IniDocument, AByteOrderMarkBeforeANameIsPartOfIt)
{
    const IniDocument doc = IniDocument::parse("[S]\n\xEF\xBB\xBF"
                                               "B=1\nb=2\n[\xC3\x89t\xC3\xA9]\nk=3\n");
    EXPECT_EQ(value(doc, "S", "b"), "2");
    EXPECT_EQ(value(doc, "S",
                    "\xEF\xBB\xBF"
                    "b"),
              "1");
    EXPECT_EQ(value(doc, "\xC3\xA9t\xC3\xA9", "K"), "3");

    IniDocument replaced = IniDocument::parse(raw("[|\x96\0\0\xE2\n\xEF\xBB\xBF"
                                                  "B\0=\n"));
    replaced.replaceSection("|\x96", {"a=1", "b = 2"});
    EXPECT_EQ(value(replaced, "|\x96", "b"), "2");
    EXPECT_EQ(value(replaced, "|\x96",
                    "\xEF\xBB\xBF"
                    "B"),
              "<missing>");
}
