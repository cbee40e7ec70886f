#include "tray/modEnumWindows.h"

#include "tests/testsupport/FakeWindowSystem.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumora;
using lumora::test::FakeWindowSystem;

namespace {

class WindowControl : public ::testing::Test
{
protected:
    void SetUp() override { modEnumWindows::reset(); }
    void TearDown() override { modEnumWindows::reset(); }

    FakeWindowSystem desktop;
};

struct TitleCase
{
    const char *name;
    FakeWindowSystem::Window window;
    bool hidden;
};

class TitleTest : public ::testing::TestWithParam<TitleCase>
{
protected:
    void SetUp() override { modEnumWindows::reset(); }
    FakeWindowSystem desktop;
};

TEST_P(TitleTest, HidesOnlyVisibleUnownedWindowsNamingBothWords)
{
    const TitleCase &c = GetParam();
    desktop.addWindow(c.window);
    modEnumWindows::HideOutlookWindows();
    const bool hideSent = desktop.showCalls.size() == 1 && desktop.showCalls[0].window == c.window.id
        && desktop.showCalls[0].command == SW_HIDE;
    EXPECT_EQ(hideSent, c.hidden);
    EXPECT_EQ(desktop.showCalls.size(), c.hidden ? 1 : 0);
    EXPECT_EQ(modEnumWindows::hiddenWindow(), c.hidden ? c.window.id : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TitleTest,
    ::testing::Values(TitleCase{"FullTitle", {0x100, "Inbox - Microsoft Outlook", "Mail", 0, true}, true},
                      TitleCase{"WordsAnywhere", {0x101, "Outlook (Microsoft)", "", 0, true}, true},
                      TitleCase{"OutlookAlone", {0x102, "Outlook", "Mail", 0, true}, false},
                      TitleCase{"LowerCase", {0x103, "microsoft outlook", "Mail", 0, true}, false},
                      TitleCase{"ClassNameWhenUntitled", {0x104, "", "Microsoft Outlook Frame", 0, true}, true},
                      TitleCase{"ClassNameIgnoredWhenTitled", {0x105, "Inbox", "Microsoft Outlook", 0, true}, false},
                      TitleCase{"Invisible", {0x106, "Microsoft Outlook", "", 0, false}, false},
                      TitleCase{"Owned", {0x107, "Microsoft Outlook", "", 0x100, true}, false}),
    [](const ::testing::TestParamInfo<TitleCase> &row) { return std::string(row.param.name); });

TEST_F(WindowControl, HidesEveryMatchButShowsOnlyTheLast)
{
    desktop.addWindow({0x10, "Inbox - Microsoft Outlook", "", 0, true});
    desktop.addWindow({0x20, "Terminal", "", 0, true});
    desktop.addWindow({0x30, "Calendar - Microsoft Outlook", "", 0, true});

    modEnumWindows::HideOutlookWindows();
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_TRUE(desktop.window(0x20).shown);
    EXPECT_FALSE(desktop.window(0x30).shown);

    desktop.showCalls.clear();
    modEnumWindows::ShowOutlookWindow();
    ASSERT_EQ(desktop.showCalls.size(), 1);
    EXPECT_EQ(desktop.showCalls[0].window, 0x30u);
    EXPECT_EQ(desktop.showCalls[0].command, SW_SHOW);
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_TRUE(desktop.window(0x30).shown);

    modEnumWindows::RestoreOutlookWindow();
    ASSERT_EQ(desktop.showCalls.size(), 2);
    EXPECT_EQ(desktop.showCalls[1].window, 0x30u);
    EXPECT_EQ(desktop.showCalls[1].command, SW_RESTORE);
}

TEST_F(WindowControl, ShowAndRestoreBeforeAnyHideDoNothing)
{
    desktop.addWindow({0x10, "Inbox - Microsoft Outlook", "", 0, false});
    modEnumWindows::ShowOutlookWindow();
    modEnumWindows::RestoreOutlookWindow();
    EXPECT_TRUE(desktop.showCalls.isEmpty());
    EXPECT_FALSE(desktop.window(0x10).shown);
}

TEST_F(WindowControl, TextCallsNeverOverrunTheBuffer)
{
    desktop.addWindow({0x10, QString::fromUtf8("Posteingang \xc3\xa4\xc3\xb6"), "Cls", 0, true});
    EXPECT_EQ(GetWindowTextLengthA(0x10), 16);

    char buffer[15];
    std::memset(buffer, 'x', sizeof buffer);
    // 14 bytes would split the second umlaut, so the cut steps back to a whole character.
    EXPECT_EQ(GetWindowTextA(0x10, buffer, 15), 14);
    EXPECT_STREQ(buffer, "Posteingang \xc3\xa4");
    EXPECT_EQ(GetWindowTextA(0x10, buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetWindowTextA(0x10, nullptr, 10), 0);

    char cls[3];
    EXPECT_EQ(GetClassNameA(0x10, cls, 3), 2);
    EXPECT_STREQ(cls, "Cl");
}

TEST_F(WindowControl, NullHandleIsNeverPassedOn)
{
    EXPECT_FALSE(ShowWindow(0, SW_SHOW));
    EXPECT_FALSE(SetForegroundWindow(0));
    EXPECT_TRUE(desktop.showCalls.isEmpty());
    EXPECT_TRUE(desktop.activated.isEmpty());
    EXPECT_EQ(SendMessageA(0x10, 0x407, 0, 0), 0);
}

} // namespace

namespace {

TEST_F(WindowControl, MailClientWindowsMatchByClassAndAreRestored)
{
    desktop.addWindow({0x10, "Inbox - Mozilla Thunderbird", "thunderbird", 0, true});
    desktop.setInstanceName(0x10, QStringLiteral("Mail"));
    desktop.addWindow({0x20, "Write: hello", "thunderbird", 0x10, true}); // owned by the main window
    desktop.setInstanceName(0x20, QStringLiteral("Mail"));
    desktop.addWindow({0x30, "Terminal", "XTerm", 0, true});
    desktop.setInstanceName(0x30, QStringLiteral("xterm"));
    desktop.addWindow({0x40, "Hidden client", "thunderbird", 0, false});
    desktop.setInstanceName(0x40, QStringLiteral("Mail"));
    modEnumWindows::setMailClientClass(QStringLiteral(" Thunderbird "));

    modEnumWindows::HideOutlookWindows();
    ASSERT_EQ(desktop.showCalls.size(), 1);
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_TRUE(desktop.window(0x30).shown);
    EXPECT_EQ(modEnumWindows::hiddenWindow(), 0x10u);

    modEnumWindows::RestoreOutlookWindow();
    EXPECT_TRUE(desktop.window(0x10).shown);
    EXPECT_EQ(desktop.showCalls.last().command, SW_RESTORE);
}

TEST_F(WindowControl, MailClientMatchesTheInstanceNameToo)
{
    // A terminal mail program started with its own instance name, and the title rule
    // still holding beside the class.
    desktop.addWindow({0x10, "mutt", "XTerm", 0, true});
    desktop.setInstanceName(0x10, QStringLiteral("mutt"));
    desktop.addWindow({0x20, "Inbox - Microsoft Outlook", "", 0, true});
    desktop.addWindow({0x30, "mutt manual", "Firefox", 0, true});
    desktop.setInstanceName(0x30, QStringLiteral("Navigator"));
    modEnumWindows::setMailClientClass(QStringLiteral("mutt"));
    modEnumWindows::HideOutlookWindows();
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_FALSE(desktop.window(0x20).shown);
    EXPECT_TRUE(desktop.window(0x30).shown);
}

TEST_F(WindowControl, WithoutAClientOnlyTheTitleRuleHolds)
{
    desktop.addWindow({0x10, "Inbox", "thunderbird", 0, true});
    desktop.setInstanceName(0x10, QStringLiteral("Mail"));
    modEnumWindows::setMailClientClass(QString());
    modEnumWindows::HideOutlookWindows();
    EXPECT_TRUE(desktop.showCalls.isEmpty());
}

} // namespace
