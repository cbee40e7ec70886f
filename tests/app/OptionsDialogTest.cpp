// The host's options dialog with the real LumoraProps page: pages added on OptionsPagesAdd,
// Apply following the pages' dirty state, OK, Cancel, and one dialog per process.
#include "app/OptionsDialog.h"
#include "app/HostApplication.h"
#include "app/HostOptionsPage.h"
#include "app/HostSettings.h"
#include "host/ComponentFactory.h"
#include "host/memory/MemoryApplication.h"
#include "platform/core/Registry.h"
#include "settings/modRegistry.h"
#include "tests/app/FakePasswordStore.h"

#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/ModalAnswer.h"
#include "tests/testsupport/TempHome.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

const QString kKey = QStringLiteral("Software\\Microsoft\\Office\\10.0\\Outlook\\Options\\Lumora");

class OptionsDialogTest : public ::testing::Test
{
protected:
    OptionsDialogTest()
    {
        // The host registers its program file (version 10) and the page library, as at start-up.
        host.setHostProgram(QStringLiteral(LUMORA_BIN_DIR "/OUTLOOK.EXE"));
        host.setPluginFolder(QStringLiteral(LUMORA_BIN_DIR));
        host.start();
        QObject::connect(&app, &host::Application::OptionsPagesAdd, [this](host::PropertyPages *pages) {
            added << pages->Add(QStringLiteral("LumoraProps.ctlLumora"), QStringLiteral("Lumora"));
            added << pages->Add(QStringLiteral("No.Such.Page"), QStringLiteral("Nothing"));
        });
    }
    QString stored(const char *name) const
    {
        return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, kKey, QLatin1String(name)).toString();
    }
    void chooseCorner(OptionsDialog &dialog, int index)
    {
        auto *list = dialog.page(0)->findChild<QComboBox *>(QStringLiteral("cmbAlign"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(list, Qt::Key_Down);
    }

    TempHome home;
    MemoryApplication app;
    HostApplication host{&app, {}};
    QList<bool> added;
};

TEST_F(OptionsDialogTest, AddedPagesBecomeTabsAndApplyFollowsTheirDirtyState)
{
    OptionsDialog dialog(&app);
    dialog.collectPages();
    EXPECT_EQ(added, (QList<bool>{true, false}));
    ASSERT_EQ(dialog.pageCount(), 1);
    EXPECT_EQ(dialog.tabs()->tabText(0), QStringLiteral("Lumora"));
    dialog.show();
    EXPECT_FALSE(dialog.applyButton()->isEnabled());

    chooseCorner(dialog, 2);
    EXPECT_TRUE(dialog.applyButton()->isEnabled());
    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 2"));
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    EXPECT_TRUE(dialog.isVisible());

    chooseCorner(dialog, 4);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 4"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsDialogTest, OkKeepsTheDialogOpenWhenAPageCouldNotBeSaved)
{
    // A stored value long enough that no rewrite of the settings fits the full disk below.
    ASSERT_TRUE(modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, kKey, QStringLiteral("SoundPath"),
                                                QString(2048, QLatin1Char('s')), reg::REG_SZ));
    OptionsDialog dialog(&app);
    dialog.collectPages();
    dialog.show();
    chooseCorner(dialog, 3);
    {
        FullDisk full(1024);
        QString shown;
        const ModalAnswer answer = acceptMessageBox(QStringLiteral("msgNotSaved"), &shown);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_TRUE(dialog.isVisible()); // closing would throw the unsaved settings away
    EXPECT_TRUE(dialog.applyButton()->isEnabled());
    EXPECT_EQ(stored("PopAlign"), QString());

    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 3"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsDialogTest, CancelAndTheCloseButtonApplyNothing)
{
    for (const bool byCloseButton : {false, true}) {
        OptionsDialog dialog(&app);
        dialog.collectPages();
        dialog.show();
        chooseCorner(dialog, 1);
        if (byCloseButton)
            dialog.close();
        else
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(stored("PopAlign"), QString()) << byCloseButton;
    }
}

TEST_F(OptionsDialogTest, TheTrayCommandAndTheHandOverOpenOneDialog)
{
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(LUMORA_BIN_DIR "/LumoraProps.so")));
    app.ShowOptions();
    OptionsDialog *first = host.optionsDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->pageCount(), 1);
    EXPECT_EQ(host.handleRequest(QStringLiteral("options")), QStringLiteral("ok"));
    EXPECT_EQ(host.optionsDialog(), first);
    // Test hooks answer only when the process was started for tests.
    EXPECT_EQ(host.handleRequest(QStringLiteral("test-options apply")), QStringLiteral("unknown request"));
    host.shutdown();
    EXPECT_EQ(host.optionsDialog(), nullptr);
}

// The tray menu's Quit asks the host through the application, which ends the run as
// `lumora --quit` does, here with a page's colour dialog waiting in its exec().
TEST_F(OptionsDialogTest, TheTrayMenusQuitEndsTheRunLikeQuitDoes)
{
    host.showOptions();
    OptionsDialog *dialog = host.optionsDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->tabs()->setCurrentIndex(0);
    QWidget *swatch = dialog->findChild<QWidget *>(QStringLiteral("pctGradientColor1"));
    ASSERT_NE(swatch, nullptr);
    const ModalAnswer answer(QStringLiteral("ColorDialog"), [this](QWidget *) { app.Quit(); });
    QTimer::singleShot(0, swatch, [swatch] { QMetaObject::invokeMethod(swatch, "clicked"); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(answer.answered());
    host.shutdown();
    EXPECT_EQ(host.optionsDialog(), nullptr);
    EXPECT_EQ(stored("GradientColor1"), QString());
}

// A quit (signal, `lumora --quit`, log-out) while a dialog of a page waits in its exec():
// the dialog closes, nothing of it is stored, and the run ends with 0 once the stack has
// unwound. Deleting the page under the dialog's loop was a double free.
TEST_F(OptionsDialogTest, QuittingWithAPageDialogOpenClosesItAndStoresNothing)
{
    struct Case
    {
        const char *button;
        const char *dialog;
    };
    for (const Case &c : {Case{"pctGradientColor1", "ColorDialog"}, Case{"cmdSoundPath", "SoundFileDialog"},
                          Case{"btnFolders", "frmFolders"}, Case{"cmdAddAccount", "ImapAccountDialog"}}) {
        FakePasswordStore passwords;
        HostApplication running(&app, {});
        running.setHostPage([&passwords] {
            auto *page = new HostOptionsPage({}, {});
            page->setAccountsContext({}, &passwords);
            return page;
        });
        running.showOptions();
        OptionsDialog *dialog = running.optionsDialog();
        ASSERT_NE(dialog, nullptr);
        QWidget *button = dialog->findChild<QWidget *>(QLatin1String(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        if (QLatin1String(c.button) == QLatin1String("cmdAddAccount"))
            dialog->tabs()->setCurrentIndex(0);
        else
            dialog->tabs()->setCurrentIndex(1);

        const ModalAnswer answer(QLatin1String(c.dialog), [&running](QWidget *) { running.quit(0); });
        QTimer::singleShot(0, button, [button] {
            if (QLatin1String(button->metaObject()->className()) == QLatin1String("lumora::ColorSwatch"))
                QMetaObject::invokeMethod(button, "clicked");
            else
                QTest::mouseClick(button, Qt::LeftButton);
        });
        // Bounded: a dialog that never opened would otherwise leave the loop running.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(20000);
        EXPECT_EQ(QApplication::exec(), 0) << c.dialog;
        EXPECT_TRUE(answer.answered()) << c.dialog;
        running.shutdown();
        EXPECT_EQ(running.optionsDialog(), nullptr) << c.dialog;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.dialog;
        EXPECT_EQ(stored("GradientColor1"), QString()) << c.dialog;
        EXPECT_EQ(stored("SoundPath"), QString()) << c.dialog;
    }
    EXPECT_TRUE(HostSettings::load().imapAccounts.isEmpty());
}

} // namespace
