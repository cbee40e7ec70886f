#include "tests/addin/AddInFixture.h"

#include "platform/core/Registry.h"
#include "popup/PopupWindow.h"
#include "queue/Queue.h"
#include "settings/modRegistry.h"
#include "tray/Main.h"

#include "tests/testsupport/FakeDesktopNotifications.h"

using namespace lumora;
using namespace lumora::test;

namespace {

constexpr HWND Slides = 42;
constexpr HWND Editor = 43;

// While the user presents (a full-screen active window, the desktop's do-not-disturb) no
// popup shows and no sound plays; the queue waits and is shown after.
class Presenting : public AddInFixture
{
protected:
    void SetUp() override
    {
        windows.addWindow({Slides, QStringLiteral("Slides"), QStringLiteral("impress"), 0, true, true});
        windows.addWindow({Editor, QStringLiteral("Notes"), QStringLiteral("editor"), 0, true, false});
        connectAddIn();
        ASSERT_TRUE(controller()->isAttached());
        trace.clear();
    }

    static void setQuietOption(const QString &value)
    {
        modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER,
                                        QStringLiteral("Software\\Corvane Software\\Lumora\\Host"),
                                        QStringLiteral("QuietWhilePresenting"), value, reg::REG_SZ);
    }

    FakeDesktopNotifications notifications;
};

} // namespace

TEST_F(Presenting, AFullScreenWindowHoldsThePopupUntilItLeavesFullScreen)
{
    windows.setActiveWindow(Slides);
    deliver(QStringLiteral("during the talk"), clock.now());
    clock.advance(5000 + 1500);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(traceCount(QStringLiteral("popup waits: the active window is full screen")), 1);

    // Mail goes on being queued meanwhile, and the wait is said once.
    clock.advance(60 * 1000);
    deliver(QStringLiteral("questions"), clock.now());
    clock.advance(5000 + 1500 + 30 * 1000);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(addIn().queue->Size(), 2);
    EXPECT_TRUE(sound.calls.isEmpty());
    EXPECT_EQ(traceCount(QStringLiteral("popup waits:")), 1);

    windows.setFullScreen(Slides, false);
    clock.advance(5000 + 1500);
    ASSERT_TRUE(popup()->isShowing());
    EXPECT_EQ(sound.calls.size(), 1);
    EXPECT_EQ(traceCount(QStringLiteral("popup: 1 of 2")), 1);
}

// Only the active window counts: a full-screen window behind another one is not watched.
TEST_F(Presenting, AFullScreenWindowInTheBackgroundHoldsNothing)
{
    windows.setActiveWindow(Editor);
    deliver(QStringLiteral("mail"), clock.now());
    clock.advance(5000 + 1500);
    EXPECT_TRUE(popup()->isShowing());
}

TEST_F(Presenting, TheDesktopsDoNotDisturbHoldsThePopup)
{
    notifications.doNotDisturb = true;
    deliver(QStringLiteral("mail"), clock.now());
    clock.advance(5000 + 1500 + 20 * 1000);
    EXPECT_FALSE(popup()->isShowing());
    EXPECT_EQ(traceCount(QStringLiteral("popup waits: the desktop's do-not-disturb is on")), 1);
    notifications.doNotDisturb = false;
    clock.advance(5000 + 1500);
    EXPECT_TRUE(popup()->isShowing());
}

TEST_F(Presenting, TurnedOffTheFullScreenWindowHoldsNothing)
{
    setQuietOption(QStringLiteral("0"));
    windows.setActiveWindow(Slides);
    notifications.doNotDisturb = true;
    deliver(QStringLiteral("mail"), clock.now());
    clock.advance(5000 + 1500);
    EXPECT_TRUE(popup()->isShowing());
    EXPECT_EQ(traceCount(QStringLiteral("popup waits:")), 0);
}

// The test popup is asked for by the user and shows whatever they are doing.
TEST_F(Presenting, TheTestPopupIsNotHeld)
{
    windows.setActiveWindow(Slides);
    controller()->TestPopup();
    EXPECT_TRUE(popup()->isShowing());
}
