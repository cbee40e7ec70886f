#include "tray/Main.h"

#include "addinapi/AddInGlobals.h"
#include "addinapi/OlAddInInterface.h"
#include "host/Application.h"
#include "host/memory/MemoryApplication.h"
#include "popup/PopupWindow.h"
#include "popup/PopupWindowsManager.h"
#include "queue/Queue.h"
#include "tests/testsupport/VirtualClock.h"
#include "tray/TrayIconArt.h"
#include "tray/modEnumWindows.h"

#include "tests/testsupport/FakeController.h"
#include "tests/testsupport/FakeNotifyIconHost.h"
#include "tests/testsupport/FakeProcessLauncher.h"
#include "tests/testsupport/FakeWindowSystem.h"
#include "tests/testsupport/PrivatePath.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace lumora;
using lumora::test::FakeController;
using lumora::test::FakeNotifyIconHost;
using lumora::test::FakeProcessLauncher;
using lumora::test::FakeWindowSystem;

namespace {

class RecordingLog : public host::LogWriter
{
public:
    void Log(int level, const QString &procedure, const QString &message) override
    {
        entries << QStringLiteral("%1|%2|%3").arg(level).arg(procedure, message);
    }
    QStringList entries;
};

class MainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setInstance(&clock);
        modEnumWindows::reset();
        addIn().controller = &controller;
        addIn().settings = AddInSettings();
        addIn().settings.MessageDelay = 4000;
        addIn().settings.PopAlign = BottomRightCorner;
        log = std::make_shared<RecordingLog>();
        addIn().logWriter = log;
        addIn().libraryFolder = QStringLiteral("/opt/lumora/lib");
        desktop.addWindow({0x10, "Inbox - Microsoft Outlook", "", 0, true});
    }
    void TearDown() override
    {
        main.reset();
        addIn().controller = nullptr;
        addIn().logWriter.reset();
        addIn().queue = nullptr;
        addIn().settings = AddInSettings();
        modEnumWindows::reset();
        Clock::setInstance(nullptr);
    }
    void load(const QString &version = QStringLiteral("10"))
    {
        main = std::make_unique<Main>();
        main->setOutlookVersion(version);
        main->Form_Load();
    }
    QAction *item(const char *name) const { return main->trayMenu()->findChild<QAction *>(QLatin1String(name)); }
    void rightClick() { tray.click(main->hWnd(), WM_RBUTTONUP); }

    VirtualClock clock;
    FakeNotifyIconHost tray;
    FakeWindowSystem desktop;
    FakeController controller;
    std::shared_ptr<RecordingLog> log;
    std::unique_ptr<Main> main;
};

TEST_F(MainTest, LoadAddsTheNormalIconAndCreatesTheNotificationObjects)
{
    load();
    ASSERT_EQ(tray.calls.size(), 1);
    const auto &add = tray.calls[0];
    EXPECT_EQ(add.message, NIM_ADD);
    EXPECT_EQ(add.data.cbSize, 488u);
    EXPECT_EQ(add.data.hWnd, main->hWnd());
    EXPECT_EQ(add.data.uID, 1u);
    EXPECT_EQ(add.data.uFlags, 7u);
    EXPECT_EQ(add.data.uCallbackMessage, 512u);
    EXPECT_EQ(add.data.hIcon.cacheKey(), main->image(0).cacheKey());
    EXPECT_EQ(tray.tip(main->hWnd()), QStringLiteral("lumora - Outlook Tray Notifier"));
    EXPECT_EQ(main->trayIconState(), 0);

    ASSERT_NE(addIn().queue, nullptr);
    ASSERT_NE(main->popup(), nullptr);
    ASSERT_NE(main->manager(), nullptr);
    // The settings reached the template.
    EXPECT_EQ(main->popup()->Align(), BottomRightCorner);
    EXPECT_EQ(main->popup()->Duration(), 4000);
    // The form exists but is never on screen, and the window was left alone.
    EXPECT_TRUE(main->testAttribute(Qt::WA_DontShowOnScreen));
    EXPECT_TRUE(desktop.showCalls.isEmpty());
    EXPECT_FALSE(item("mnuHideOutlook")->isChecked());
}

TEST_F(MainTest, UnloadReleasesEverythingAndRemovesTheIcon)
{
    load();
    main->Form_Unload();
    EXPECT_EQ(addIn().queue, nullptr);
    EXPECT_EQ(main->popup(), nullptr);
    EXPECT_EQ(main->manager(), nullptr);
    ASSERT_EQ(tray.calls.size(), 2);
    EXPECT_EQ(tray.calls[1].message, NIM_DELETE);
    EXPECT_TRUE(tray.calls[1].result);
    EXPECT_FALSE(tray.hasIcon(main->hWnd()));

    // Events for an icon that is gone, and a second unload, change nothing.
    tray.click(main->hWnd(), WM_LBUTTONDBLCLK);
    main->Form_Unload();
    EXPECT_EQ(tray.calls.size(), 2);
    EXPECT_TRUE(desktop.showCalls.isEmpty());
}

TEST_F(MainTest, DestroyingALoadedFormRemovesTheIcon)
{
    load();
    const HWND hWnd = main->hWnd();
    main.reset();
    EXPECT_FALSE(tray.hasIcon(hWnd));
    EXPECT_EQ(addIn().queue, nullptr);
}

TEST_F(MainTest, HideOnStartupHidesTheClientAndChecksTheItem)
{
    addIn().settings.HideOnStartup = 1;
    load();
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_TRUE(item("mnuHideOutlook")->isChecked());
}

TEST_F(MainTest, IconStatesFollowTheLastCall)
{
    load();
    // Two scans: high importance, then normal.
    main->SetTrayIcon(2);
    main->SetTrayIcon(1);
    EXPECT_EQ(main->trayIconState(), 1);
    EXPECT_EQ(tray.icon(main->hWnd()).hIcon.cacheKey(), main->image(1).cacheKey());

    // An unknown state keeps the image but still refreshes the record and its tip.
    const qsizetype before = tray.calls.size();
    main->SetTrayIcon(7);
    ASSERT_EQ(tray.calls.size(), before + 1);
    const auto &modify = tray.calls.last();
    EXPECT_EQ(modify.message, NIM_MODIFY);
    EXPECT_EQ(modify.data.uFlags, 7u);
    EXPECT_EQ(modify.data.hIcon.cacheKey(), main->image(1).cacheKey());
    EXPECT_STREQ(modify.data.szTip, "lumora - Outlook Tray Notifier");
    EXPECT_EQ(main->trayIconState(), 1);

    main->SetTrayIcon(-1);
    EXPECT_EQ(main->trayIconState(), 1);
    main->SetTrayIcon(3);
    EXPECT_EQ(tray.icon(main->hWnd()).hIcon.cacheKey(), main->image(3).cacheKey());
}

TEST_F(MainTest, TheFourImagesDiffer)
{
    load();
    for (int size : {16, 22, 24, 32}) {
        QList<QImage> images;
        for (int state = 0; state < 4; ++state) {
            const QImage img = main->image(state).pixmap(size, size).toImage();
            ASSERT_EQ(img.size(), QSize(size, size));
            images << img;
        }
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_NE(images[a], images[b]) << "size " << size << " states " << a << "," << b;
    }
}

struct VersionCase
{
    const char *version;
    bool hideEnabled;
};

class MainVersionTest : public MainTest, public ::testing::WithParamInterface<VersionCase>
{};

TEST_P(MainVersionTest, RightClickEnablesHideOnlyForOldVersions)
{
    load(QString::fromLatin1(GetParam().version));
    rightClick();
    EXPECT_EQ(item("mnuHideOutlook")->isEnabled(), GetParam().hideEnabled);
    EXPECT_TRUE(main->trayMenu()->isVisible());
    EXPECT_EQ(desktop.activated, QList<HWND>{main->hWnd()});
    main->trayMenu()->close();
}

INSTANTIATE_TEST_SUITE_P(Versions, MainVersionTest,
                         ::testing::Values(VersionCase{"9", true}, VersionCase{"10", true}, VersionCase{"11", false},
                                           VersionCase{"", false}, VersionCase{"10.0", false}));

TEST_F(MainTest, OtherMouseMessagesDoNothing)
{
    load();
    main->mnuHideOutlook_Click();
    desktop.showCalls.clear();
    for (int message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, 0})
        tray.click(main->hWnd(), message);
    EXPECT_FALSE(main->trayMenu()->isVisible());
    EXPECT_TRUE(desktop.showCalls.isEmpty());
    EXPECT_TRUE(desktop.activated.isEmpty());
    EXPECT_TRUE(item("mnuHideOutlook")->isChecked());
    // Values beyond 32 bits are no message at all.
    main->Form_MouseMove(0, 0, 1e12, 0);
    main->Form_MouseMove(0, 0, std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_TRUE(desktop.showCalls.isEmpty());
}

TEST_F(MainTest, DoubleClickRestoresTheClientAndUnchecksHide)
{
    load();
    main->mnuHideOutlook_Click();
    ASSERT_TRUE(item("mnuHideOutlook")->isChecked());
    ASSERT_FALSE(desktop.window(0x10).shown);

    tray.click(main->hWnd(), WM_LBUTTONDBLCLK);
    ASSERT_FALSE(desktop.showCalls.isEmpty());
    EXPECT_EQ(desktop.showCalls.last().window, 0x10u);
    EXPECT_EQ(desktop.showCalls.last().command, SW_RESTORE);
    EXPECT_TRUE(desktop.window(0x10).shown);
    EXPECT_FALSE(item("mnuHideOutlook")->isChecked());
}

// Only what the tray form asks of the host: the mail client's identity.
class ClientHost : public host::Application
{
public:
    host::NameSpace *GetNamespace(const QString &) override { return nullptr; }
    host::NameSpace *session() override { return nullptr; }
    host::Explorer *ActiveExplorer() override { return nullptr; }
    host::Explorers *explorers() override { return nullptr; }
    host::Inspectors *inspectors() override { return nullptr; }
    host::ItemPtr CreateItem(int) override { return {}; }
    host::COMAddIns *comAddIns() override { return nullptr; }
    QString version() const override { return QStringLiteral("10.0"); }
};

TEST_F(MainTest, HostsMailClientIsHiddenAtStartAndBroughtBackByDoubleClick)
{
    ClientHost host;
    host.setMailClientClass(QStringLiteral("thunderbird"));
    addIn().application = &host;
    desktop.addWindow({0x50, "Inbox - Mozilla Thunderbird", "thunderbird", 0, true});
    desktop.setInstanceName(0x50, QStringLiteral("Mail"));
    addIn().settings.HideOnStartup = 1;
    load();
    EXPECT_TRUE(item("mnuHideOutlook")->isChecked());
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_FALSE(desktop.window(0x50).shown);

    tray.click(main->hWnd(), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(desktop.window(0x50).shown);
    EXPECT_FALSE(item("mnuHideOutlook")->isChecked());

    // The About box names the client the command acts on.
    item("mnuSysAbout")->trigger();
    EXPECT_TRUE(main->aboutBox()
                    ->findChild<QLabel *>(QStringLiteral("lblClient"))
                    ->text()
                    .contains(QStringLiteral("thunderbird")));
    addIn().application = nullptr;
}

TEST_F(MainTest, MessageNumberIsDecodedInEitherScale)
{
    load();
    main->mnuHideOutlook_Click();
    // In pixels the coordinate is the number, rounded to the nearest integer.
    main->Form_MouseMove(0, 0, 514.6, 0);
    EXPECT_EQ(desktop.showCalls.last().command, SW_RESTORE);

    main->mnuHideOutlook_Click();
    main->ScaleMode = Main::vbTwips;
    const double twips = 1440.0 / main->screen()->logicalDotsPerInchX();
    main->Form_MouseMove(0, 0, 515 * twips, 0);
    EXPECT_EQ(desktop.showCalls.last().command, SW_RESTORE);
    // The shell's own events still arrive, converted to the form's scale.
    main->mnuHideOutlook_Click();
    tray.click(main->hWnd(), WM_LBUTTONDBLCLK);
    EXPECT_EQ(desktop.showCalls.last().command, SW_RESTORE);
}

TEST_F(MainTest, MailTimerWaitsForAShowingPopupThenScansOnce)
{
    load();
    main->tmrMail().restart(5000);
    main->TestPopup();
    ASSERT_TRUE(main->popup()->isShowing());

    // The countdown ends while the test popup still shows: no scan, the timer keeps going.
    clock.advance(5000);
    EXPECT_TRUE(controller.calls.isEmpty());
    EXPECT_TRUE(main->tmrMail().isEnabled());
    ASSERT_TRUE(main->popup()->isShowing());

    // The popup goes away on its own; the next tick scans, once.
    clock.advance(5000);
    ASSERT_FALSE(main->popup()->isShowing());
    EXPECT_EQ(controller.callNames(), QStringList{QStringLiteral("GetNewMailMessages")});
    EXPECT_FALSE(main->tmrMail().isEnabled());
    clock.advance(20000);
    EXPECT_EQ(controller.calls.size(), 1);
}

TEST_F(MainTest, TimersStayQuietUntilGivenAnInterval)
{
    load();
    clock.advance(60000);
    EXPECT_TRUE(controller.calls.isEmpty());
    EXPECT_EQ(main->tmrMail().interval(), 0);
    EXPECT_EQ(main->tmrBalloon().interval(), 0);
}

TEST_F(MainTest, BalloonTimerStopsAndShowsNothingWhileTheClientIsActive)
{
    load();
    addIn().queue->Add(QStringLiteral("Ann"), QStringLiteral("Hello"), QStringLiteral("E1"), QStringLiteral("S1"),
                       QStringLiteral("Inbox"), 1);
    controller.windowActive = true;
    main->tmrBalloon().restart(1500);
    clock.advance(1500);
    EXPECT_FALSE(main->tmrBalloon().isEnabled());
    EXPECT_FALSE(main->popup()->isShowing());

    controller.windowActive = false;
    main->tmrBalloon().restart(1500);
    clock.advance(1500);
    EXPECT_FALSE(main->tmrBalloon().isEnabled());
    EXPECT_TRUE(main->popup()->isShowing());
    main->popup()->Unload();
}

TEST_F(MainTest, BalloonTimerShowsNothingWhileTheControllerHoldsPopups)
{
    load();
    addIn().queue->Add(QStringLiteral("Ann"), QStringLiteral("Hello"), QStringLiteral("E1"), QStringLiteral("S1"),
                       QStringLiteral("Inbox"), 1);
    controller.holdPopups = true;
    main->tmrBalloon().restart(1500);
    clock.advance(1500);
    EXPECT_FALSE(main->tmrBalloon().isEnabled());
    EXPECT_FALSE(main->popup()->isShowing());
    EXPECT_EQ(addIn().queue->Size(), 1);
}

TEST_F(MainTest, SnoozeItemsAskForTheirEndAndResumeNowOnlyWhileSnoozed)
{
    load();
    auto snoozeItem = [this](const char *name) {
        return main->snoozeMenu()->findChild<QAction *>(QLatin1String(name));
    };
    const QDateTime start = clock.now();
    const std::pair<const char *, qint64> durations[] = {
        {"mnuSnooze15", 15 * 60}, {"mnuSnooze60", 3600}, {"mnuSnooze240", 4 * 3600}};
    for (const auto &[name, seconds] : durations) {
        snoozeItem(name)->trigger();
        EXPECT_EQ(controller.snoozedUntil, start.addSecs(seconds)) << name;
    }
    snoozeItem("mnuSnoozeTomorrow")->trigger();
    EXPECT_EQ(controller.snoozedUntil, QDateTime(start.date().addDays(1), QTime(8, 0)));

    Q_EMIT main->snoozeMenu()->aboutToShow();
    ASSERT_TRUE(snoozeItem("mnuSnoozeEnd")->isVisible());
    snoozeItem("mnuSnoozeEnd")->trigger();
    EXPECT_FALSE(controller.snoozedUntil.isValid());
    Q_EMIT main->snoozeMenu()->aboutToShow();
    EXPECT_FALSE(snoozeItem("mnuSnoozeEnd")->isVisible());
}

TEST_F(MainTest, SuspendTwiceReturnsToNormal)
{
    load();
    QAction *suspend = item("mnuSuspend");
    // Through the menu, as the user does it: one toggle per choice.
    suspend->trigger();
    EXPECT_TRUE(suspend->isChecked());
    EXPECT_FALSE(controller.enabled);
    EXPECT_EQ(main->trayIconState(), 3);

    suspend->trigger();
    EXPECT_FALSE(suspend->isChecked());
    EXPECT_TRUE(controller.enabled);
    EXPECT_EQ(main->trayIconState(), 0);
}

TEST_F(MainTest, HideItemTogglesBetweenHideAndShow)
{
    desktop.addWindow({0x20, "Calendar - Microsoft Outlook", "", 0, true});
    load();
    item("mnuHideOutlook")->trigger();
    EXPECT_TRUE(item("mnuHideOutlook")->isChecked());
    EXPECT_FALSE(desktop.window(0x10).shown);
    EXPECT_FALSE(desktop.window(0x20).shown);

    item("mnuHideOutlook")->trigger();
    EXPECT_FALSE(item("mnuHideOutlook")->isChecked());
    EXPECT_EQ(desktop.showCalls.last().window, 0x20u);
    EXPECT_EQ(desktop.showCalls.last().command, SW_SHOW);
}

TEST_F(MainTest, MenuHoldsTheItemsInOrderAndRunsTheCommands)
{
    load();
    QStringList captions;
    for (QAction *action : main->trayMenu()->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions,
              (QStringList{"Suspend Lumora",
                           "S&nooze",
                           "-",
                           "Hide Outlook",
                           "-",
                           "New &Appointment...",
                           "New &Contact...",
                           "New &Mail...",
                           "New &Note...",
                           "New &Task...",
                           "-",
                           "&Reset Icon",
                           "Mar&k All as Read",
                           "-",
                           "&Options...",
                           "Lumora Help...",
                           "-",
                           "&About Lumora...",
                           "-",
                           "&Quit Lumora"}));
    EXPECT_TRUE(item("mnuSysAbout")->isEnabled());

    for (const char *name : {"mnuNewAppointment", "mnuNewContact", "mnuComposeNew", "mnuNewNote", "mnuNewTask"})
        item(name)->trigger();
    EXPECT_EQ(controller.callNames(), (QStringList{"Appointment", "Contact", "Mail", "Note", "Task"}));

    main->SetTrayIcon(2);
    item("mnuResetIcon")->trigger();
    EXPECT_EQ(main->trayIconState(), 0);
}

TEST_F(MainTest, OptionsAsksTheHostForItsDialog)
{
    MemoryApplication host;
    addIn().application = &host;
    int requests = 0;
    QObject::connect(&host, &host::Application::OptionsRequested, [&requests] { ++requests; });
    load();
    item("mnuOptions")->trigger();
    EXPECT_EQ(requests, 1);
    addIn().application = nullptr;
    item("mnuOptions")->trigger(); // no host: nothing to ask
    EXPECT_EQ(requests, 1);
}

TEST_F(MainTest, QuitAsksTheHostToEndTheRun)
{
    MemoryApplication host;
    addIn().application = &host;
    int requests = 0;
    QObject::connect(&host, &host::Application::QuitRequested, [&requests] { ++requests; });
    load();
    QAction *quit = item("mnuQuit");
    ASSERT_TRUE(quit);
    EXPECT_EQ(main->trayMenu()->actions().last(), quit);
    quit->trigger();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(controller.calls.isEmpty()); // the host's item, not the add-in's
    addIn().application = nullptr;
    quit->trigger();
    EXPECT_EQ(requests, 1);
}

TEST_F(MainTest, UnreadCountsGoIntoTheTipAfterItsTextAndIntoABadge)
{
    load();
    const QString head = QStringLiteral("lumora - Outlook Tray Notifier");
    // Nothing counted: neither a line nor a badge.
    main->setUnreadCounts({});
    EXPECT_EQ(tray.tip(main->hWnd()), head);

    main->setUnreadCounts({{QStringLiteral("Inbox"), 7}, {QStringLiteral("Lists"), 0}});
    EXPECT_EQ(tray.tip(main->hWnd()), head + QStringLiteral("\n7 unread"));
    const QIcon badged = tray.icon(main->hWnd()).hIcon;
    EXPECT_NE(badged.cacheKey(), main->image(0).cacheKey());
    EXPECT_EQ(main->trayIconState(), 0);

    main->setUnreadCounts({{QStringLiteral("Inbox"), 10}, {QStringLiteral("Lists"), 2}});
    EXPECT_EQ(tray.tip(main->hWnd()), head + QStringLiteral("\n12 unread: Inbox 10, Lists 2"));
    // The note follows the count; the state change keeps both.
    main->setTipNote(QStringLiteral("no folders watched: open Options"));
    main->SetTrayIcon(1);
    EXPECT_EQ(tray.tip(main->hWnd()),
              head + QStringLiteral("\n12 unread: Inbox 10, Lists 2\nno folders watched: open Options"));
    EXPECT_NE(tray.icon(main->hWnd()).hIcon.cacheKey(), main->image(1).cacheKey());

    // Everything read: the plain state image again, and the tip says so.
    main->setUnreadCounts({{QStringLiteral("Inbox"), 0}, {QStringLiteral("Lists"), 0}});
    EXPECT_EQ(tray.icon(main->hWnd()).hIcon.cacheKey(), main->image(1).cacheKey());
    EXPECT_TRUE(tray.tip(main->hWnd()).contains(QStringLiteral("\nno unread mail\n")));
}

TEST(TrayIconArtTest, CountBadgeIsDrawnAtEverySizeAndScaleAsked)
{
    const QIcon plain = TrayIconArt::icon(TrayIconArt::New);
    const QIcon badged = TrayIconArt::iconWithCount(TrayIconArt::New, 5);
    EXPECT_EQ(TrayIconArt::iconWithCount(TrayIconArt::New, 0).pixmap(16).toImage(), plain.pixmap(16).toImage());
    EXPECT_FALSE(badged.availableSizes().isEmpty());
    for (const int side : {16, 22, 24, 32, 48, 64, 20}) {
        for (const qreal scale : {1.0, 2.0}) {
            const QImage image = badged.pixmap(QSize(side, side), scale).toImage();
            // Drawn at the device size, not scaled from another one.
            ASSERT_EQ(image.width(), int(side * scale)) << side << " at " << scale;
            const QImage reference = TrayIconArt::image(TrayIconArt::New, int(side * scale));
            // The badge sits in the top right quarter; the bottom left is the envelope's alone.
            int changedTopRight = 0;
            int changedBottomLeft = 0;
            const int half = image.width() / 2;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const bool differs = image.pixel(x, y) != reference.pixel(x, y);
                    if (x >= half && y < half)
                        changedTopRight += differs;
                    else if (x < half / 2 && y >= half)
                        changedBottomLeft += differs;
                }
            }
            EXPECT_GT(changedTopRight, half * half / 4) << side << " at " << scale;
            EXPECT_EQ(changedBottomLeft, 0) << side << " at " << scale;
        }
    }
    EXPECT_EQ(TrayIconArt::countText(99), QStringLiteral("99"));
    EXPECT_EQ(TrayIconArt::countText(100), QStringLiteral("99+"));
}

TEST_F(MainTest, ManyFoldersGiveWayToTheNoteWithinTheTipsBytes)
{
    load();
    QList<FolderUnread> counts;
    for (int i = 0; i < 20; ++i)
        counts.append({QStringLiteral("Folder %1").arg(i), i + 1});
    main->setUnreadCounts(counts);
    QByteArray tip = tray.tip(main->hWnd()).toUtf8();
    EXPECT_LE(tip.size(), 127);
    EXPECT_TRUE(tip.startsWith("lumora - Outlook Tray Notifier\n210 unread: Folder 0 1, "));
    EXPECT_TRUE(tip.endsWith(", ...")) << tip.constData();

    // A note takes the folders' room, never the total's.
    main->setTipNote(QStringLiteral("The mail folder /home/u/Maildir/.Lists cannot be read"));
    tip = tray.tip(main->hWnd()).toUtf8();
    EXPECT_LE(tip.size(), 127);
    EXPECT_TRUE(tip.contains("\n210 unread"));
    EXPECT_TRUE(tip.endsWith("cannot be read")) << tip.constData();
}

TEST_F(MainTest, MarkAllAsReadReadsTheShownAndTheQueuedMessagesAndEndsTheShowing)
{
    load();
    Queue *queue = addIn().queue;
    queue->Add("Ann", "one", "E1", "S1", "Inbox", 1);
    queue->Add("Bob", "two", "E2", "S1", "Inbox", 1);
    queue->Add("Cy", "three", "E3", "S2", "Lists", 1);
    main->manager()->PlaceAndShow(*main->popup());
    clock.advance(2000); // grown, the first message shown
    ASSERT_TRUE(main->popup()->isShowing());
    ASSERT_EQ(main->popup()->shownEntryId(), QStringLiteral("E1"));

    item("mnuMarkAllRead")->trigger();
    QStringList read;
    for (const auto &call : controller.calls)
        read << call.what + QLatin1Char(' ') + call.entryId + QLatin1Char('/') + call.storeId;
    EXPECT_EQ(read, (QStringList{"read all E1/S1", "read all E2/S1", "read all E3/S2"}));
    EXPECT_FALSE(main->popup()->isShowing());
    EXPECT_EQ(queue->Size(), 0);
}

TEST_F(MainTest, TipNoteFollowsTheTipTextAndSurvivesIconChanges)
{
    load();
    main->setTipNote(QStringLiteral("no folders watched: open Options"));
    EXPECT_EQ(tray.tip(main->hWnd()),
              QStringLiteral("lumora - Outlook Tray Notifier\nno folders watched: open Options"));
    main->SetTrayIcon(1);
    EXPECT_TRUE(tray.tip(main->hWnd()).endsWith(QStringLiteral("open Options")));
    main->setTipNote(QString());
    EXPECT_EQ(tray.tip(main->hWnd()), QStringLiteral("lumora - Outlook Tray Notifier"));
    // A note too long for the record is cut, never in the middle of a character.
    main->setTipNote(QString(200, QChar(0x00E9)));
    EXPECT_TRUE(tray.tip(main->hWnd()).toUtf8().size() <= 127);
    EXPECT_TRUE(tray.tip(main->hWnd()).endsWith(QChar(0x00E9)));
}

TEST_F(MainTest, HelpOpensTheFileBesideTheLibraryInAViewer)
{
    QTemporaryDir library;
    ASSERT_TRUE(lumora::test::writeFile(library.filePath(QStringLiteral("Lumora.chm")), "x"));
    lumora::test::PrivatePath bin;
    bin.install(QStringLiteral("xchm"));
    addIn().libraryFolder = library.path();
    FakeProcessLauncher launcher;
    load();
    item("mnuHelp")->trigger();
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, bin.filePath(QStringLiteral("xchm")));
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{library.filePath(QStringLiteral("Lumora.chm"))});
    EXPECT_TRUE(log->entries.isEmpty());

    // The viewer is there but cannot be started: said once in the log.
    launcher.fail = true;
    main->mnuHelp_Click();
    EXPECT_EQ(log->entries, QStringList{QStringLiteral("4|mnuHelp_Click|Shell Error: 2,File not found")});
}

TEST_F(MainTest, MissingHelpFileWritesOneLogEntryAndStartsNothing)
{
    FakeProcessLauncher launcher;
    load();
    main->mnuHelp_Click();
    EXPECT_EQ(
        log->entries,
        QStringList{QStringLiteral("4|mnuHelp_Click|Shell Error: 2,Help file not found: /opt/lumora/lib/Lumora.chm")});
    EXPECT_TRUE(launcher.calls.isEmpty());
}

TEST_F(MainTest, AboutShowsOneOwnerlessModelessBoxUntilUnload)
{
    load();
    item("mnuSysAbout")->trigger();
    QPointer<frmAbout> box = main->aboutBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Lumora Add-in DLL"));

    item("mnuSysAbout")->trigger();
    EXPECT_EQ(main->aboutBox(), box.data());

    main->Form_Unload();
    EXPECT_TRUE(box.isNull());
}

TEST_F(MainTest, CallsWithoutAControllerOrBeforeLoadAreSkipped)
{
    addIn().controller = nullptr;
    main = std::make_unique<Main>();
    main->TestPopup();
    main->SetPopupProps();
    main->mnuComposeNew_Click();
    main->mnuSuspend_Click();
    main->tmrMail().restart(5000);
    main->tmrBalloon().restart(1500);
    clock.advance(5000);
    EXPECT_FALSE(main->tmrMail().isEnabled());
    EXPECT_FALSE(main->tmrBalloon().isEnabled());
}

} // namespace
