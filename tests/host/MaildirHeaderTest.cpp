#include "host/maildir/MailHeaderReader.h"

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
                      HeaderCase{"brokenEncodedWord", "Subject: =?utf-8?B?@@@?= tail\nFrom: a@b\n\n", "tail", "a@b", 1},
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
