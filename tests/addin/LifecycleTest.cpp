#include "tests/addin/AddInFixture.h"

#include "addin/AddInRegistration.h"
#include "host/memory/MemoryInspector.h"
#include "platform/core/Registry.h"
#include "queue/Queue.h"
#include "settings/SettingsLocation.h"
#include "settings/modRegistry.h"
#include "tray/Main.h"

#include <QFile>

using namespace lumora;
using namespace lumora::test;

namespace {

class Lifecycle : public AddInFixture
{};

QString settingsKey(int major)
{
    return SettingsLocation::registryKey(QString::number(major));
}

} // namespace

TEST_F(Lifecycle, HostWithoutWindowsLeavesTheAddInIdle)
{
    connectAddIn(false);
    EXPECT_EQ(controller(), nullptr); // never created: the add-in stays idle
    EXPECT_EQ(addIn().controller, nullptr);
    EXPECT_TRUE(tray.calls.isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath()));
    disconnectAddIn(); // finds nothing to release
    EXPECT_TRUE(tray.calls.isEmpty());
}

TEST_F(Lifecycle, AttachRunsTheStartUpAndPublishesTheController)
{
    connectAddIn();
    OlAddIn *c = controller();
    ASSERT_TRUE(c->isAttached());
    EXPECT_TRUE(c->Enabled());
    EXPECT_FALSE(c->WindowState()); // never activated yet
    EXPECT_EQ(c->NewMsgCount(), 0);
    EXPECT_EQ(c->settingsKeyPath(), settingsKey(10));
    // The add-in entry's Object reaches the controller by name, as the options page does.
    QObject *published = app.comAddIns()->Item(QStringLiteral("Lumora.Connect"))->object();
    ASSERT_NE(published, nullptr);
    EXPECT_EQ(published->property("PPClass").value<QObject *>(), c);
    // The tray icon exists in its normal state and the queue with it.
    ASSERT_NE(c->mainForm(), nullptr);
    EXPECT_EQ(c->mainForm()->trayIconState(), 0);
    EXPECT_NE(addIn().queue, nullptr);
    // First run: the template was copied, the Inbox seeded and Init reset.
    EXPECT_EQ(c->watchedFolders(), QStringList{entryFor(inbox)});
    QFile ini(iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("Init=0")) << text.constData();
    EXPECT_TRUE(text.contains("EID0=" + entryFor(inbox).toUtf8())) << text.constData();
    EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("/Lumora.log")));
}

TEST_F(Lifecycle, DefaultsAreWrittenOnceUnderTheVersionKey)
{
    connectAddIn();
    const AddInSettings &s = addIn().settings;
    EXPECT_EQ(s.PopAlign, 3);
    EXPECT_EQ(s.ManualXPos, 200);
    EXPECT_EQ(s.ManualYPos, 300);
    EXPECT_EQ(s.GradientColor1, 16744576);
    EXPECT_EQ(s.GradientColor2, 16777215);
    EXPECT_EQ(s.GradientOrientation, 1);
    EXPECT_EQ(s.MessageDelay, 4000);
    EXPECT_EQ(s.SoundPath, libraryDir.path() + QStringLiteral("/new.wav"));
    EXPECT_EQ(s.HideOnStartup, 0);
    EXPECT_EQ(s.PopupDelete, 1);
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(10), QStringLiteral("MessageDelay")),
              QVariant(QStringLiteral("4000")));

    // A stored value survives the next start: defaults never overwrite.
    disconnectAddIn();
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(10), QStringLiteral("MessageDelay"),
                                    QStringLiteral("2500ms"), reg::REG_SZ);
    connectAddIn();
    EXPECT_EQ(addIn().settings.MessageDelay, 2500);
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(10), QStringLiteral("PopAlign")),
              QVariant(QStringLiteral("3")));
}

class HostVersions : public AddInFixture, public ::testing::WithParamInterface<int>
{};

TEST_P(HostVersions, SettingsKeyFollowsTheHostMajorVersion)
{
    const int major = GetParam();
    setHostVersion(major);
    addIn().settings = AddInSettings();
    connectAddIn();
    const bool known = major >= 9 && major <= 11;
    EXPECT_EQ(controller()->settingsKeyPath(), known ? settingsKey(major) : QString());
    EXPECT_EQ(addIn().settings.MessageDelay, known ? 4000 : 0);
    EXPECT_EQ(addIn().settings.SoundPath.isEmpty(), !known);
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(major), QStringLiteral("PopAlign"))
                  .toString(),
              known ? QStringLiteral("3") : QString());
}

INSTANTIATE_TEST_SUITE_P(Majors, HostVersions, ::testing::Values(9, 10, 11, 12));

TEST_F(Lifecycle, ExistingIniIsLeftUntouched)
{
    const QByteArray stored = "[Setup]\nInit=0\n\n[EntryID]\nEID0 = ABC|DEF\n; a comment of the user\n";
    QDir().mkpath(dataFolder());
    {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(stored);
    }
    connectAddIn();
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), stored);
    EXPECT_EQ(controller()->watchedFolders(), QStringList{QStringLiteral("ABC|DEF")});
}

TEST_F(Lifecycle, SecondExplorerIsNotTrackedAndActivationDrivesWindowState)
{
    connectAddIn();
    MemoryExplorer *second = app.openExplorer();
    EXPECT_EQ(controller()->trackedExplorer(), explorer);
    second->activate();
    EXPECT_FALSE(controller()->WindowState());
    explorer->activate();
    EXPECT_TRUE(controller()->WindowState());
    explorer->deactivate();
    EXPECT_FALSE(controller()->WindowState());
}

TEST_F(Lifecycle, ClosingTheMainWindowWithAMessageWindowOpenDoesNotDetach)
{
    connectAddIn();
    MemoryInspector *inspector = app.openInspector();
    explorer->close();
    explorer = nullptr;
    EXPECT_TRUE(controller()->isAttached());
    app.closeInspector(inspector);
    EXPECT_TRUE(controller()->isAttached()); // inspectors are held, not tracked
}

TEST_F(Lifecycle, LastWindowClosedDetachesInFixedOrderAndDetachingTwiceIsHarmless)
{
    connectAddIn();
    trace.clear();
    explorer->close();
    explorer = nullptr;
    EXPECT_FALSE(controller()->isAttached());
    const QStringList detach = trace.filter(QStringLiteral("detach:"));
    ASSERT_EQ(detach.size(), 4) << trace.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(detach.at(0).startsWith(QStringLiteral("detach: start")));
    EXPECT_TRUE(detach.at(1).contains(QStringLiteral("main form")));
    EXPECT_TRUE(detach.at(2).contains(QStringLiteral("INI")));
    EXPECT_TRUE(detach.at(3).contains(QStringLiteral("host references")));
    EXPECT_EQ(addIn().queue, nullptr);
    EXPECT_EQ(addIn().application, nullptr);
    EXPECT_FALSE(tray.hasIcon(tray.calls.isEmpty() ? 0 : tray.calls.first().data.hWnd));
    disconnectAddIn();
    EXPECT_EQ(trace.filter(QStringLiteral("detach:")).size(), 4);
}

TEST_F(Lifecycle, RegistrationWritesAndRemovesTheAddInKeys)
{
    ASSERT_TRUE(AddInRegistration::Register(QStringLiteral("/opt/lumora/LumoraAddIn.so")));
    const QString key = QStringLiteral("Software\\Microsoft\\Office\\Outlook\\Addins\\Lumora.Connect");
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("FriendlyName")),
              QVariant(QStringLiteral("Lumora Add-In")));
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("LoadBehavior")).toInt(), 3);
    EXPECT_EQ(modRegistry::ReadRegistryValue(reg::HKEY_LOCAL_MACHINE, key, QStringLiteral("LoadBehavior")).toInt(), 3);
    EXPECT_TRUE(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("Description"))
                    .toString()
                    .startsWith(QStringLiteral("Lumora is an Outlook Add-in")));
    EXPECT_EQ(AddInRegistration::RegisteredPath(), QStringLiteral("/opt/lumora/LumoraAddIn.so"));
    ASSERT_TRUE(AddInRegistration::Unregister());
    EXPECT_TRUE(AddInRegistration::RegisteredPath().isEmpty());
    EXPECT_TRUE(modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, key, QStringLiteral("LoadBehavior"))
                    .toString()
                    .isEmpty());
}

TEST_F(Lifecycle, MailActionsResetTheIconAndSurviveVanishedMessages)
{
    connectAddIn();
    MemoryItemPtr item = deliver(QStringLiteral("hello"), clock.now());
    controller()->mainForm()->SetTrayIcon(2);
    controller()->ShowMailMessage(item->EntryID(), inbox->StoreID());
    EXPECT_EQ(app.displayedIds(), QStringList{item->EntryID()});
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 0);

    const QString id = item->EntryID();
    controller()->mainForm()->SetTrayIcon(1);
    controller()->DeleteMailMessage(id, inbox->StoreID());
    EXPECT_EQ(app.deletedIds(), QStringList{id});
    // Deleted meanwhile: nothing opens, the icon still returns to normal.
    controller()->mainForm()->SetTrayIcon(1);
    controller()->ShowMailMessage(id, inbox->StoreID());
    EXPECT_EQ(app.displayedIds().size(), 1);
    EXPECT_EQ(controller()->mainForm()->trayIconState(), 0);
    controller()->ShowMailMessage(QString(), QString());
}

TEST_F(Lifecycle, ComposeAndOptionsPage)
{
    connectAddIn();
    controller()->ComposeNewAppointment();
    controller()->ComposeNewContact();
    controller()->ComposeNewTask();
    controller()->ComposeNewNote();
    controller()->ComposeNewMail();
    EXPECT_EQ(app.composedTypes(), (QList<int>{1, 2, 3, 5, 0}));
    MemoryPropertyPages *pages = app.raiseOptionsPagesAdd();
    ASSERT_NE(pages, nullptr);
}
