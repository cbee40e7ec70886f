// The one cleaning every surface of mail text goes through: hostile rows, the length cap,
// cuts that fall inside a character or an escape sequence, and markup escaping.
#include "platform/core/MailText.h"
#include "tests/testsupport/HostileText.h"

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

class Hostile : public ::testing::TestWithParam<HostileRow>
{};

} // namespace

TEST_P(Hostile, IsShownAsItsReaderMustSeeIt)
{
    const HostileRow &row = GetParam();
    const QString shown = MailText::forDisplay(row.text);
    EXPECT_EQ(shown, row.shown);
    EXPECT_TRUE(holdsNothingHostile(shown));
    EXPECT_LE(shown.size(), MailText::MaxChars);
    // Cleaning what is clean changes nothing, so surfaces may clean again.
    EXPECT_EQ(MailText::forDisplay(shown), shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, Hostile, ::testing::ValuesIn(hostileRows()),
                         [](const ::testing::TestParamInfo<HostileRow> &row) { return std::string(row.param.name); });

TEST(MailText, MarkupIsEscapedOnlyWhereItWouldBeRead)
{
    EXPECT_EQ(MailText::forMarkup(QStringLiteral("<b>Tom</b> & \"Jerry\"\u202E")),
              QStringLiteral("&lt;b&gt;Tom&lt;/b&gt; &amp; &quot;Jerry&quot;"));
    EXPECT_EQ(MailText::forMarkup(QStringLiteral("<img src=x>")), QStringLiteral("&lt;img src=x&gt;"));
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("<i>a</i>")), QStringLiteral("<i>a</i>"));
}

TEST(MailText, TheCutKeepsCharactersWholeAndIsMarked)
{
    // A text exactly at the cap is not cut.
    const QString atCap(MailText::MaxChars, QLatin1Char('a'));
    EXPECT_EQ(MailText::forDisplay(atCap), atCap);

    // An emoji (a surrogate pair) across the cut goes whole, never half.
    const QString emoji = QString::fromUtf8("\U0001F600");
    const QString across = QString(MailText::MaxChars - 2, QLatin1Char('a')) + emoji + QStringLiteral("tail");
    const QString shown = MailText::forDisplay(across);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("a\u2026")));
    for (const QChar c : shown)
        EXPECT_FALSE(c.isSurrogate());

    // Blanks before the mark are dropped, so it sits on the last word.
    const QString words = QStringLiteral("word ").repeated(100);
    EXPECT_EQ(MailText::forDisplay(words, 11), QStringLiteral("word word\u2026"));

    EXPECT_EQ(MailText::forDisplay(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("abc"), 1), QStringLiteral("\u2026"));

    bool cut = false;
    EXPECT_EQ(MailText::clean(QStringLiteral("abcdef"), 3, &cut), QStringLiteral("abc"));
    EXPECT_TRUE(cut);
    EXPECT_EQ(MailText::clean(QStringLiteral("abc"), 3, &cut), QStringLiteral("abc"));
    EXPECT_FALSE(cut);
}

TEST(MailText, BrokenTextAndHalfSequencesStayVisibleButHarmless)
{
    // A lone surrogate becomes the replacement character.
    EXPECT_EQ(MailText::forDisplay(QString(QChar(0xD800)) + QStringLiteral("x")), QStringLiteral("\uFFFDx"));
    // An escape sequence cut off by the cap is still dropped whole.
    const QString straddle = QString(MailText::MaxChars - 4, QLatin1Char('a')) + QStringLiteral("\x1b[31mredder");
    EXPECT_FALSE(MailText::forDisplay(straddle).contains(QLatin1Char('[')));
    // An unfinished sequence is no sequence: its introducer is a blank, the rest is text.
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("a\x1b[31")), QStringLiteral("a [31"));
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("\x1b]0;never ended")), QStringLiteral(" ]0;never ended"));
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("end\x1b")), QStringLiteral("end "));
    // Tag characters and piles of combining marks carry nothing to read.
    const char32_t tagged[] = {U'o', U'k', 0xE0041, 0xE0042, U'!'};
    EXPECT_EQ(MailText::forDisplay(QString::fromUcs4(tagged, 5)), QStringLiteral("ok!"));
    const QString zalgo = QStringLiteral("e") + QString(40, QChar(0x0301));
    EXPECT_EQ(MailText::forDisplay(zalgo).size(), 1 + MailText::MaxMarks);
    // Letters of every script pass.
    EXPECT_EQ(MailText::forDisplay(QStringLiteral("Grüße, שלום, 你好")), QStringLiteral("Grüße, שלום, 你好"));
}

TEST(MailText, EachLineOfANoteIsCleanedOnItsOwn)
{
    EXPECT_EQ(MailText::linesForDisplay(QStringLiteral("first \x1b[1mbold\x1b[0m\nsecond\u202Eevil")),
              QStringLiteral("first bold\nsecondevil"));
    const QString longLine = QString(1000, QLatin1Char('x'));
    const QStringList lines =
        MailText::linesForDisplay(longLine + QLatin1Char('\n') + QStringLiteral("ok")).split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), MailText::MaxChars);
    EXPECT_EQ(lines[1], QStringLiteral("ok"));
}
