#include "tests/translations/TsCheck.h"

#include <gtest/gtest.h>

using lumora::test::TsCheck;

namespace {

QByteArray ts(const QByteArray &messages)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"de\">\n"
           "<context>\n<name>Ctx</name>\n"
        + messages + "</context>\n</TS>\n";
}

QByteArray escaped(const char *text)
{
    return QString::fromUtf8(text).toHtmlEscaped().toUtf8();
}

QByteArray message(const char *source, const char *translation, const QByteArray &type = {})
{
    return "<message><source>" + escaped(source) + "</source><translation"
        + (type.isEmpty() ? "" : " type=\"" + type + "\"") + ">" + escaped(translation) + "</translation></message>\n";
}

QStringList problems(const QByteArray &messages)
{
    return TsCheck::problemsInText(ts(messages), QStringLiteral("t.ts"));
}

} // namespace

TEST(TsCheckTest, AcceleratorsCountMarksButNotDoubledAmpersands)
{
    EXPECT_EQ(TsCheck::accelerators(QStringLiteral("&Open")), 1);
    EXPECT_EQ(TsCheck::accelerators(QStringLiteral("Mar&k All as Read")), 1);
    EXPECT_EQ(TsCheck::accelerators(QStringLiteral("Tom && Jerry")), 0);
    EXPECT_EQ(TsCheck::accelerators(QStringLiteral("A && &B")), 1);
    EXPECT_EQ(TsCheck::accelerators(QStringLiteral("trailing &")), 0);
    EXPECT_EQ(TsCheck::acceleratorKey(QStringLiteral("S&nooze")), QLatin1Char('n'));
    EXPECT_EQ(TsCheck::acceleratorKey(QStringLiteral("&&x &Y")), QLatin1Char('y'));
    EXPECT_TRUE(TsCheck::acceleratorKey(QStringLiteral("Hide Outlook")).isNull());
}

TEST(TsCheckTest, PlaceholdersAreSortedOnceEachWithLocalisedForms)
{
    EXPECT_EQ(TsCheck::placeholders(QStringLiteral("%2 of %1, again %1")), (QStringList{"%1", "%2"}));
    EXPECT_EQ(TsCheck::placeholders(QStringLiteral("%Ln new and %10")), (QStringList{"%10", "%n"}));
    EXPECT_EQ(TsCheck::placeholders(QStringLiteral("100% sure, %f is the file")), QStringList());
}

TEST(TsCheckTest, ACompleteFileHasNoProblem)
{
    const QStringList found = problems(message("&Open", "Ö&ffnen") + message("%1 of %2", "%1 von %2")
                                       + message("Gone", "", "vanished") + message("Old", "", "obsolete"));
    EXPECT_TRUE(found.isEmpty()) << found.join('\n').toStdString();
}

TEST(TsCheckTest, MissingOrUnfinishedTranslationsAreNamed)
{
    const QStringList found =
        problems(message("Open", "Öffnen", "unfinished") + message("Close", "") + message("Quit", "   "));
    ASSERT_EQ(found.size(), 3) << found.join('\n').toStdString();
    EXPECT_TRUE(found.at(0).contains("\"Open\": unfinished"));
    EXPECT_TRUE(found.at(1).contains("\"Close\": empty translation"));
    EXPECT_TRUE(found.at(2).contains("\"Quit\": empty translation"));
}

TEST(TsCheckTest, LostOrAddedAcceleratorsAndPlaceholdersAreNamed)
{
    const QStringList found = problems(message("&Open", "Öffnen") + message("Open", "Ö&ffnen")
                                       + message("&Open", "&Ö&ffnen") + message("%1 of %2", "%1 von")
                                       + message("%1 of %2", "%1 von %3") + message("Tom && Jerry", "Tom und Jerry"));
    EXPECT_EQ(found.size(), 5) << found.join('\n').toStdString();
}

TEST(TsCheckTest, PluralFormsMustAllBeFilledAndShowTheNumber)
{
    const QByteArray good = "<message numerus=\"yes\"><source>%n unread</source><translation>"
                            "<numerusform>%n ungelesen</numerusform><numerusform>%n ungelesen</numerusform>"
                            "</translation></message>\n";
    const QByteArray empty = "<message numerus=\"yes\"><source>%n more</source><translation>"
                             "<numerusform>%n weitere</numerusform><numerusform></numerusform>"
                             "</translation></message>\n";
    const QByteArray noNumber = "<message numerus=\"yes\"><source>%n more</source><translation>"
                                "<numerusform>eine weitere</numerusform><numerusform>%n weitere</numerusform>"
                                "</translation></message>\n";
    EXPECT_EQ(problems(good), QStringList());
    EXPECT_EQ(problems(empty).size(), 1);
    EXPECT_EQ(problems(noNumber).size(), 1);
}

TEST(TsCheckTest, UnreadableOrEmptyFilesAreProblems)
{
    EXPECT_EQ(TsCheck::problemsInText("<TS><context>", QStringLiteral("broken.ts")).size(), 1);
    EXPECT_EQ(TsCheck::problemsInText(ts(""), QStringLiteral("empty.ts")).size(), 1);
    EXPECT_EQ(TsCheck::problems(QStringLiteral("/nonexistent/lumora_xx.ts")).size(), 1);
}
