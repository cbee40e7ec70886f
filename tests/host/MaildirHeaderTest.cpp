#include "host/common/MailHeaderReader.h"

#include <gtest/gtest.h>

using lumora::MailHeaderReader;

namespace {

struct HeaderCase
{
    const char *name;
    QByteArray input;
    QString subject;
    QString sender;
    int importance;
};

class HeaderParse : public ::testing::TestWithParam<HeaderCase>
{};

TEST_P(HeaderParse, ReadsWhatCanBeRead)
{
    const HeaderCase &c = GetParam();
    const lumora::MailHeaders h = MailHeaderReader::parse(c.input);
    EXPECT_EQ(h.subject, c.subject);
    EXPECT_EQ(h.senderName, c.sender);
    EXPECT_EQ(h.importance, c.importance);
}

QByteArray bigHeader()
{
    QByteArray h = "From: Big <big@example.org>\nSubject: big\nX-Filler: ";
    h.append(QByteArray(1024 * 1024, 'x'));
    h.append("\n\nbody\n");
    return h;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, HeaderParse,
    ::testing::Values(HeaderCase{"plain", "From: \"Ann Example\" <ann@example.org>\nSubject: Hello\n\nbody", "Hello",
                                 "Ann Example", 1},
                      HeaderCase{"encodedWords",
                                 "From: =?ISO-8859-1?Q?J=F6rg?= <j@example.org>\nSubject: =?UTF-8?B?w6l0w6k=?= "
                                 "=?ISO-8859-1?Q?_Gr=FC=DFe?=\n\n",
                                 QStringLiteral("été Grüße"), QStringLiteral("Jörg"), 1},
                      HeaderCase{"foldedSubject", "Subject: a long\n  folded\tsubject\nFrom: x@example.org\n\n",
                                 "a long folded subject", "x@example.org", 1},
                      HeaderCase{"crlf", "From: Bob <b@example.org>\r\nSubject: crlf\r\n\r\nbody", "crlf", "Bob", 1},
                      HeaderCase{"noFromNoSubject", "Date: Mon, 5 Jan 2026 09:00:00 +0100\n\n", "", "", 1},
                      HeaderCase{"empty", "", "", "", 1},
                      HeaderCase{"noBlankLine", "Subject: cut off", "cut off", "", 1},
                      HeaderCase{"brokenEncodedWord", "Subject: =?utf-8?B?@@@?= tail\nFrom: a@b\n\n",
                                 "=?utf-8?B?@@@?= tail", "a@b", 1},
                      HeaderCase{"unknownCharset", "Subject: =?x-no-such?Q?abc?=\n\n", "abc", "", 1},
                      HeaderCase{"nulBytes", QByteArray("Subject: a\0b\nFrom: c@d\n\n", 24), "a b", "c@d", 1},
                      HeaderCase{"binaryBody", QByteArray("Subject: bin\n\n\x00\xff\xfe\x01", 18), "bin", "", 1},
                      HeaderCase{"hugeHeader", bigHeader(), "big", "Big", 1},
                      HeaderCase{"importanceHigh", "Importance: High\n\n", "", "", 2},
                      HeaderCase{"importanceLow", "Importance: low\n\n", "", "", 0},
                      HeaderCase{"xPriorityHighest", "X-Priority: 1 (Highest)\n\n", "", "", 2},
                      HeaderCase{"xPriorityLowest", "X-Priority: 5\n\n", "", "", 0},
                      HeaderCase{"priorityUrgent", "Priority: urgent\n\n", "", "", 2},
                      HeaderCase{"priorityNonUrgent", "Priority: non-urgent\n\n", "", "", 0},
                      HeaderCase{"importanceWins", "Importance: normal\nX-Priority: 1\n\n", "", "", 1},
                      HeaderCase{"garbagePriority", "X-Priority: high\nPriority: ???\n\n", "", "", 1}),
    [](const ::testing::TestParamInfo<HeaderCase> &row) { return std::string(row.param.name); });

TEST(MailHeaderReader, ReadsDateAndStopsAtHeaderEnd)
{
    const lumora::MailHeaders h =
        MailHeaderReader::parse("Date: Mon, 5 Jan 2026 09:00:00 +0100\n\nSubject: not a header\n");
    EXPECT_EQ(h.date.toUTC(), QDateTime(QDate(2026, 1, 5), QTime(8, 0), Qt::UTC));
    EXPECT_TRUE(h.subject.isEmpty());
}

} // namespace

// Senders as real mail writes them, including the broken forms: the popup must show a
// name, else the address, else the raw text, and never nothing.
INSTANTIATE_TEST_SUITE_P(
    HostileSenders, HeaderParse,
    ::testing::Values(
        HeaderCase{"emptyAddress", "From: Ann Example <>\n\n", "", "Ann Example", 1},
        HeaderCase{"dotName", "From: . <dot@example.org>\n\n", "", "dot@example.org", 1},
        HeaderCase{"quotedDotName", "From: \".\" <dot@example.org>\n\n", "", "dot@example.org", 1},
        HeaderCase{"legacyAt", "From: user at host.example (Full Name)\n\n", "", "Full Name", 1},
        HeaderCase{"legacyComment", "From: user@host.example (Full Name)\n\n", "", "Full Name", 1},
        HeaderCase{"commentOnlyBlank", "From: user@host.example ()\n\n", "", "user@host.example", 1},
        HeaderCase{"rawUtf8Name", "From: J\xc3\xb6rg M\xc3\xbcller <j@example.org>\n\n", "",
                   QStringLiteral("Jörg Müller"), 1},
        HeaderCase{"raw8BitName", "From: J\xf6rg <j@example.org>\n\n", "", QStringLiteral("J\uFFFDrg"), 1},
        HeaderCase{"wholeHeaderKoi8",
                   // "Иван <ivan@example.ru>" in KOI8-R, the whole value one encoded word.
                   "From: =?KOI8-R?B?6dfBziA8aXZhbkBleGFtcGxlLnJ1Pg==?=\n\n", "", QStringLiteral("Иван"), 1},
        HeaderCase{"unquotedComma", "From: Doe, John <jd@example.org>\n\n", "", "Doe, John", 1},
        HeaderCase{"group", "From: Team: Ann <ann@example.org>, bob@example.org;\n\n", "", "Ann", 1},
        HeaderCase{"onlyBrackets", "From: <>\n\n", "", "", 1},
        HeaderCase{"unterminatedQuote", "From: \"Ann <ann@example.org>\n\n", "", "Ann <ann@example.org>", 1},
        HeaderCase{"encodedInQuotes", "From: \"=?UTF-8?Q?Andr=C3=A9?=\" <a@example.org>\n\n", "",
                   QStringLiteral("André"), 1},
        // A name that passes for an address never hides the real one, which comes first.
        HeaderCase{"nameLooksLikeAddress", "From: \"support@bank.example\" <evil@x.example>\n\n", "",
                   "evil@x.example (support@bank.example)", 1},
        HeaderCase{"commentLooksLikeAddress", "From: evil@x.example (support@bank.example)\n\n", "",
                   "evil@x.example (support@bank.example)", 1},
        HeaderCase{"encodedAtInName", "From: =?UTF-8?Q?support=40bank.example?= <evil@x.example>\n\n", "",
                   "evil@x.example (support@bank.example)", 1},
        HeaderCase{"fullWidthAtInName",
                   "From: \"support\xef\xbc\xa0"
                   "bank.example\" <evil@x.example>\n\n",
                   "", QStringLiteral("evil@x.example (support\uFF20bank.example)"), 1},
        HeaderCase{"lookalikeWithoutAddress", "From: \"support@bank.example\" <>\n\n", "", "<> (support@bank.example)",
                   1},
        HeaderCase{"nameIsItsOwnAddress", "From: \"Ann@Example.org\" <ann@example.org>\n\n", "", "Ann@Example.org", 1}),
    [](const ::testing::TestParamInfo<HeaderCase> &row) { return std::string(row.param.name); });

// Charset labels as mail software writes them; bytes no charset can read become U+FFFD.
INSTANTIATE_TEST_SUITE_P(
    Charsets, HeaderParse,
    ::testing::Values(
        HeaderCase{"xGbk", "Subject: =?x-gbk?B?xOO6ww==?=\n\n", QStringLiteral("你好"), "", 1},
        HeaderCase{"gb2312", "Subject: =?gb2312?B?xOO6ww==?=\n\n", QStringLiteral("你好"), "", 1},
        HeaderCase{"cp1252", "Subject: =?cp1252?Q?=80_5?=\n\n", QStringLiteral("€ 5"), "", 1},
        HeaderCase{"windows1251", "Subject: =?windows-1251?Q?=CF=F0=E8=E2=E5=F2?=\n\n", QStringLiteral("Привет"), "",
                   1},
        HeaderCase{"iso2022jp", "Subject: =?iso-2022-jp?B?GyRCJUYlOSVIGyhC?=\n\n", QStringLiteral("テスト"), "", 1},
        HeaderCase{"unknownLabel8Bit", "Subject: =?x-no-such?Q?a=E9b?=\n\n", QStringLiteral("a\uFFFDb"), "", 1},
        HeaderCase{"rawUtf8Subject", "Subject: \xc3\xa9t\xc3\xa9\n\n", QStringLiteral("été"), "", 1},
        HeaderCase{"rawInvalidBytes", "Subject: a\xff\xfe z\n\n", QStringLiteral("a\uFFFD\uFFFD z"), "", 1},
        HeaderCase{"utf8LabelBadBytes", "Subject: =?utf-8?Q?caf=E9?=\n\n", QStringLiteral("caf\uFFFD"), "", 1},
        // "é" (C3 A9) split between two encoded words.
        HeaderCase{"splitCharacter", "Subject: =?UTF-8?Q?caf=C3?= =?UTF-8?Q?=A9_au_lait?=\n\n",
                   QStringLiteral("café au lait"), "", 1},
        HeaderCase{"wordThenText", "Subject: =?UTF-8?Q?a?= b =?UTF-8?Q?c?=\n\n", "a b c", "", 1},
        HeaderCase{"languageSuffix", "Subject: =?UTF-8*en?Q?hello?=\n\n", "hello", "", 1}),
    [](const ::testing::TestParamInfo<HeaderCase> &row) { return std::string(row.param.name); });

// Only a single leading digit 1-5 is a priority; anything else leaves the message normal.
INSTANTIATE_TEST_SUITE_P(Priorities, HeaderParse,
                         ::testing::Values(HeaderCase{"xPriority2", "X-Priority: 2 (High)\n\n", "", "", 2},
                                           HeaderCase{"xPriority4", "X-Priority: 4\n\n", "", "", 0},
                                           HeaderCase{"xPriority3", "X-Priority: 3 (Normal)\n\n", "", "", 1},
                                           HeaderCase{"xPriority10", "X-Priority: 10\n\n", "", "", 1},
                                           HeaderCase{"xPriority0", "X-Priority: 0\n\n", "", "", 1},
                                           HeaderCase{"xPriority55", "X-Priority: 55\n\n", "", "", 1},
                                           HeaderCase{"xPriorityWord", "X-Priority: urgent\n\n", "", "", 1}),
                         [](const ::testing::TestParamInfo<HeaderCase> &row) { return std::string(row.param.name); });

// Headers as real mail gets them wrong: bounces, old Mac line ends, base64 that is not.
INSTANTIATE_TEST_SUITE_P(
    Warts, HeaderParse,
    ::testing::Values(
        HeaderCase{"bounceQuotedEmpty", "From: \"\" <>\nSubject: failed\n\n", "failed", "", 1},
        HeaderCase{"bounceBlankInside", "From: < >\n\n", "", "", 1},
        HeaderCase{"bounceNamed", "From: Mail Delivery System <>\n\n", "", "Mail Delivery System", 1},
        HeaderCase{"crOnly", "From: Ann <ann@example.org>\rSubject: old mac\rX-Priority: 1\r\rbody\rSubject: no",
                   "old mac", "Ann", 2},
        HeaderCase{"crOnlyFolded", "Subject: folded\r  twice\rFrom: b@example.org\r\r", "folded twice", "b@example.org",
                   1},
        HeaderCase{"crCrLf", "Subject: doubled\r\r\nFrom: c@example.org\r\r\n\r\r\n", "doubled", "c@example.org", 1},
        HeaderCase{"strayCrInLfHeader", "Subject: a\rb\nFrom: d@example.org\n\n", "a b", "d@example.org", 1},
        HeaderCase{"base64BadLength", "Subject: =?utf-8?B?Y?=\n\n", "=?utf-8?B?Y?=", "", 1},
        HeaderCase{"base64PadInside", "Subject: =?utf-8?B?YW=Jj?=\n\n", "=?utf-8?B?YW=Jj?=", "", 1},
        HeaderCase{"base64BadPadCount", "Subject: =?utf-8?B?YWI==?=\n\n", "=?utf-8?B?YWI==?=", "", 1},
        HeaderCase{"base64Unpadded", "Subject: =?utf-8?B?YWJjZA?=\n\n", "abcd", "", 1},
        HeaderCase{"base64BadNextToGood", "Subject: =?utf-8?B?w6k=?= =?utf-8?B?*?=\n\n",
                   QStringLiteral("\u00e9 =?utf-8?B?*?="), "", 1}),
    [](const ::testing::TestParamInfo<HeaderCase> &row) { return std::string(row.param.name); });

TEST(MailHeaderReader, CutsAHugeSubjectToWhatCanBeShownAndSaysSo)
{
    const QString shown = QString(MailHeaderReader::MaxFieldChars, QLatin1Char('y')) + QStringLiteral("\u2026");
    for (const qsizetype size : {MailHeaderReader::MaxFieldChars + 1, qsizetype(1024 * 1024)}) {
        QByteArray message = "From: a@example.org\nSubject: ";
        message.append(QByteArray(size, 'y'));
        message.append("\n\nbody");
        const lumora::MailHeaders h = MailHeaderReader::parse(message);
        EXPECT_EQ(h.subject, shown) << size;
        EXPECT_EQ(h.senderName, QStringLiteral("a@example.org"));
    }
    QByteArray exact = "Subject: ";
    exact.append(QByteArray(MailHeaderReader::MaxFieldChars, 'y'));
    EXPECT_EQ(MailHeaderReader::parse(exact + "\n\n").subject, QString(MailHeaderReader::MaxFieldChars, 'y'));
}

// A long subject of encoded words, cut while reading: the word the cut falls into is left
// out rather than shown as its raw encoding, and the cut is marked, wherever it falls.
TEST(MailHeaderReader, ACutNeverShowsAnEncodedWordRaw)
{
    const QByteArray word = "=?UTF-8?B?" + QByteArray("\xc3\xa9t\xc3\xa9").toBase64() + "?= ";
    for (int shift = 0; shift < word.size(); ++shift) {
        QByteArray message = "Subject: " + QByteArray(shift, 'x') + ' ';
        while (message.size() < MailHeaderReader::MaxRawFieldBytes + 200)
            message += word;
        const lumora::MailHeaders h = MailHeaderReader::parse(message + "\nFrom: =?UTF-8?Q?Ren=C3=A9?= <r@x>\n\n");
        ASSERT_FALSE(h.subject.contains(QStringLiteral("=?"))) << shift << h.subject.right(60).toStdString();
        ASSERT_FALSE(h.subject.contains(QChar::ReplacementCharacter)) << shift;
        ASSERT_TRUE(h.subject.endsWith(QStringLiteral("\u00e9t\u00e9\u2026"))) << shift;
        ASSERT_LE(h.subject.size(), MailHeaderReader::MaxFieldChars + 1);
        EXPECT_EQ(h.senderName, QStringLiteral("Ren\u00e9"));
    }
}

TEST(MailHeaderReader, FirstOccurrenceOfAFieldWins)
{
    const lumora::MailHeaders h = MailHeaderReader::parse("Subject: first\nSubject: second\nFrom: \n\n");
    EXPECT_EQ(h.subject, QStringLiteral("first"));
    EXPECT_TRUE(h.senderName.isEmpty());
}

TEST(MailHeaderReader, MessageIdAndTheTimeTheLastServerTookTheMessageIn)
{
    // The topmost Received line is the last hop, the one the user's own server added.
    const lumora::MailHeaders h =
        MailHeaderReader::parse("Received: from relay by mx.example.org\n  (folded); Fri, 4 Dec 2026 10:00:00 +0000\n"
                                "Received: from origin by relay; Fri, 4 Dec 2026 09:00:00 +0000\n"
                                "Message-ID:  <a.b@example.org> \nSubject: s\n\n");
    EXPECT_EQ(h.messageId, QByteArray("a.b@example.org"));
    EXPECT_EQ(h.received, QDateTime(QDate(2026, 12, 4), QTime(10, 0), Qt::UTC));

    // Ids with blanks, cut ids and Received lines without a date give nothing to go by.
    for (const QByteArray &text :
         {QByteArray("Message-ID: <two words@x>\nReceived: from a by b\n\n"),
          "Message-ID: <" + QByteArray(MailHeaderReader::MaxRawFieldBytes, 'x') + ">\nReceived: ; not a date\n\n"}) {
        const lumora::MailHeaders bad = MailHeaderReader::parse(text);
        EXPECT_TRUE(bad.messageId.isEmpty());
        EXPECT_FALSE(bad.received.isValid());
    }
}
