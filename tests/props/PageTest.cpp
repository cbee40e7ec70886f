// The options page as a user works it: loading stored settings, choosing list items,
// typing, clicking the swatches and buttons with the dialogs answered, and applying.
#include "props/ColorSwatch.h"
#include "props/ctlLumora.h"

#include "platform/core/RegistryStore.h"
#include "tests/props/PropsFixture.h"
#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/ModalAnswer.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace lumora;
using namespace lumora::test;

namespace {

class PageTest : public PropsFixture
{
protected:
    // Creates the page as the options dialog does: created, then given its site.
    void open()
    {
        page = std::make_unique<ctlLumora>();
        page->InitProperties(&site);
        page->show();
    }
    template<typename W>
    W *control(const char *name) const
    {
        W *w = page->findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QList<int> visibleSquares() const
    {
        QList<int> shown;
        for (int i = 0; i < 5; ++i) {
            if (control<QWidget>(QStringLiteral("shpPopup%1").arg(i).toLatin1().constData())->isVisibleTo(page.get()))
                shown << i;
        }
        return shown;
    }
    QColor squareColor(int i) const
    {
        return control<QWidget>(QStringLiteral("shpPopup%1").arg(i).toLatin1().constData())
            ->palette()
            .color(QPalette::Window);
    }
    void click(const char *name) { QTest::mouseClick(control<QWidget>(name), Qt::LeftButton); }
    // Picks a list entry with the keyboard, as a user tabbing through the page would.
    void choose(const char *list, int index)
    {
        auto *box = control<QComboBox>(list);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentIndex(), index);
    }

    std::unique_ptr<ctlLumora> page;
};

TEST_F(PageTest, StoredSettingsFillTheControlsAndLeaveThePageClean)
{
    store("PopAlign", QStringLiteral(" 3"));
    store("ManualXPos", QStringLiteral("12"));
    store("GradientColor1", QStringLiteral("255")); // red
    store("GradientOrientation", QStringLiteral("0"));
    store("MessageDelay", QStringLiteral("2500ms"));
    store("SoundPath", QStringLiteral("/usr/share/sounds/ding.wav"));
    store("PopupDelete", QStringLiteral("1"));
    open();

    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentText(), QStringLiteral("bottom right"));
    EXPECT_EQ(visibleSquares(), QList<int>{3});
    EXPECT_FALSE(control<QLineEdit>("txtX")->isEnabled());
    EXPECT_FALSE(control<QLabel>("LabelManualY")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("txtX")->text(), QStringLiteral("12"));
    EXPECT_EQ(control<QLineEdit>("txtY")->text(), QStringLiteral("300")); // nothing stored: initial text
    EXPECT_EQ(squareColor(3), QColor(255, 0, 0));
    EXPECT_EQ(control<QComboBox>("cmbGradientOrientation")->currentIndex(), 0);
    EXPECT_EQ(control<QLineEdit>("txtDuration")->text(), QStringLiteral("2500ms"));
    EXPECT_EQ(control<QLineEdit>("txtSoundPath")->toolTip(), QStringLiteral("/usr/share/sounds/ding.wav"));
    EXPECT_TRUE(control<QCheckBox>("chkPopupDelete")->isChecked());
    EXPECT_FALSE(control<QWidget>("lblOL2003")->isVisibleTo(page.get()));
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(site.statusChanges, 0);
    EXPECT_EQ(page->name().toString(), QStringLiteral("Lumora"));
}

TEST_F(PageTest, ChoosingManualEnablesThePositionAndMarksThePageDirty)
{
    store("PopAlign", QStringLiteral(" 3"));
    open();
    choose("cmbAlign", 0);
    EXPECT_TRUE(control<QLineEdit>("txtX")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>("txtY")->isEnabled());
    EXPECT_TRUE(control<QLabel>("LabelManualX")->isEnabled());
    EXPECT_EQ(visibleSquares(), QList<int>{0});
    EXPECT_TRUE(page->Dirty());
    EXPECT_GE(site.statusChanges, 1);

    // Typing is a change as well.
    page->PropertyPage_Apply();
    EXPECT_FALSE(page->Dirty());
    QTest::keyClicks(control<QLineEdit>("txtX"), QStringLiteral("5"));
    EXPECT_TRUE(page->Dirty());
}

// Each of the ten rows with a value no other row has: a value loaded into or saved from the
// wrong control shows up as a row holding its neighbour's value.
TEST_F(PageTest, EachSettingLoadsIntoItsOwnControlAndAppliesToItsOwnRow)
{
    const QList<std::pair<const char *, QString>> rows = {
        {"PopAlign", QStringLiteral(" 2")},        {"ManualXPos", QStringLiteral("111")},
        {"ManualYPos", QStringLiteral("222")},     {"GradientColor1", QStringLiteral("333")},
        {"GradientColor2", QStringLiteral("444")}, {"GradientOrientation", QStringLiteral("0")},
        {"MessageDelay", QStringLiteral("5555")},  {"SoundPath", QStringLiteral("/tmp/six.wav")},
        {"HideOnStartup", QStringLiteral("1")},    {"PopupDelete", QStringLiteral("0")},
    };
    for (const auto &[name, text] : rows)
        store(name, text);
    open();
    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentIndex(), 2);
    EXPECT_EQ(control<QLineEdit>("txtX")->text(), QStringLiteral("111"));
    EXPECT_EQ(control<QLineEdit>("txtY")->text(), QStringLiteral("222"));
    EXPECT_EQ(control<ColorSwatch>("pctGradientColor1")->value(), 333);
    EXPECT_EQ(control<ColorSwatch>("pctGradientColor2")->value(), 444);
    EXPECT_EQ(control<QComboBox>("cmbGradientOrientation")->currentIndex(), 0);
    EXPECT_EQ(control<QLineEdit>("txtDuration")->text(), QStringLiteral("5555"));
    EXPECT_EQ(control<QLineEdit>("txtSoundPath")->text(), QStringLiteral("/tmp/six.wav"));
    EXPECT_TRUE(control<QCheckBox>("chkHideOnStartup")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkPopupDelete")->isChecked());

    // Cleared rows, then an apply: each row gets back exactly what it held.
    for (const auto &[name, text] : rows)
        store(name, QStringLiteral("cleared"));
    page->PropertyPage_Apply();
    for (const auto &[name, text] : rows)
        EXPECT_EQ(stored(name), text) << name;
}

TEST_F(PageTest, ApplyWritesEveryValueInItsTextFormAndTellsTheAddIn)
{
    open();
    choose("cmbAlign", 0); // the position is typed while "manual" is chosen
    QTest::keyClicks(control<QLineEdit>("txtY"), QStringLiteral("x"));
    choose("cmbAlign", 1);
    choose("cmbGradientOrientation", 1);
    control<QLineEdit>("txtDuration")->clear();
    click("chkPopupDelete");
    page->PropertyPage_Apply();

    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 1"));
    EXPECT_EQ(stored("ManualXPos"), QStringLiteral("200"));
    EXPECT_EQ(stored("ManualYPos"), QStringLiteral("300x")); // written as typed
    EXPECT_EQ(stored("GradientColor1"), QStringLiteral("7389439")); // the initial swatch: 255, 192, 112
    EXPECT_EQ(stored("GradientColor2"), QStringLiteral("16777215"));
    EXPECT_EQ(stored("GradientOrientation"), QStringLiteral("1"));
    EXPECT_EQ(stored("MessageDelay"), QString());
    EXPECT_EQ(stored("SoundPath"), QString());
    EXPECT_EQ(stored("HideOnStartup"), QStringLiteral("0"));
    EXPECT_EQ(stored("PopupDelete"), QStringLiteral("1"));
    EXPECT_EQ(controller.calls, QStringList{QStringLiteral("UpdatePopupSettings")});
    EXPECT_FALSE(page->Dirty());
}

TEST_F(PageTest, AnApplyThatCannotBeSavedSaysWhyStoresNothingAndKeepsThePage)
{
    // A stored sound path long enough that no rewrite of the settings fits the full disk.
    store("SoundPath", QString(2048, QLatin1Char('s')));
    open();
    const QString file = RegistryStore::filePath(RegistryStore::Root::CurrentUser);
    const QByteArray before = fileBytes(file);
    choose("cmbAlign", 2);
    click("chkPopupDelete");

    QString shown;
    {
        FullDisk full(1024);
        const ModalAnswer answer = acceptMessageBox(QStringLiteral("msgNotSaved"), &shown);
        page->PropertyPage_Apply();
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(shown,
              QStringLiteral("Your Lumora settings could not be saved: %1 cannot be written: File too large. "
                             "They are kept on this page; press Apply to try again.")
                  .arg(file))
        << shown.toStdString();
    EXPECT_TRUE(log->entries.contains(QStringLiteral("1|PropertyPage_Apply|") + shown));
    EXPECT_TRUE(page->Dirty());
    EXPECT_TRUE(controller.calls.isEmpty()); // the add-in keeps what it shows
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(stored("PopupDelete"), QStringLiteral("<missing>"));

    // With room again the same page stores it all.
    page->PropertyPage_Apply();
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 2"));
    EXPECT_EQ(stored("PopupDelete"), QStringLiteral("1"));
    EXPECT_EQ(controller.calls, QStringList{QStringLiteral("UpdatePopupSettings")});
}

TEST_F(PageTest, ACornerTheListLacksLoadsAsNoSelectionAndAppliesAsMinusOne)
{
    store("PopAlign", QStringLiteral("7"));
    store("GradientColor2", QStringLiteral("-2147483643")); // a desktop colour reference
    open();
    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentIndex(), -1);
    EXPECT_TRUE(visibleSquares().isEmpty());
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("PopAlign"), QStringLiteral("-1"));
    EXPECT_EQ(stored("GradientOrientation"), QStringLiteral("-1"));
    // An unchanged colour goes back exactly as it was stored.
    EXPECT_EQ(stored("GradientColor2"), QStringLiteral("-2147483643"));
}

TEST_F(PageTest, HostVersion11DisablesHideOnStartupAndWritesZero)
{
    setHostVersion(11);
    store("HideOnStartup", QStringLiteral("1"), 11);
    open();
    EXPECT_FALSE(control<QCheckBox>("chkHideOnStartup")->isEnabled());
    EXPECT_FALSE(control<QLabel>("lblHideOnStartup")->isEnabled());
    EXPECT_TRUE(control<QWidget>("lblOL2003")->isVisibleTo(page.get()));
    EXPECT_FALSE(control<QCheckBox>("chkHideOnStartup")->isChecked());
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("HideOnStartup", 11), QStringLiteral("0"));
}

TEST_F(PageTest, AnotherHostVersionReadsAndWritesNothing)
{
    setHostVersion(12);
    store("PopAlign", QStringLiteral("2"), 12);
    open();
    EXPECT_TRUE(page->optionsKey().isEmpty());
    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentIndex(), -1);
    choose("cmbAlign", 2);
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("PopAlign", 12), QStringLiteral("2"));
    EXPECT_EQ(stored("ManualXPos", 12), QStringLiteral("<missing>"));
    // The add-in is still told; it keeps its own settings.
    EXPECT_EQ(controller.calls, QStringList{QStringLiteral("UpdatePopupSettings")});
}

TEST_F(PageTest, ColourDialogsRecolourTheSwatchesAndKeepTheCustomColours)
{
    open();
    // Cancelled: the swatch stays, the page is dirty all the same.
    const QColor before = control<QWidget>("pctGradientColor1")->palette().color(QPalette::Window);
    ModalAnswer cancel(QStringLiteral("ColorDialog"), [](QWidget *d) { static_cast<QDialog *>(d)->reject(); });
    click("pctGradientColor1");
    EXPECT_TRUE(cancel.answered());
    EXPECT_EQ(control<QWidget>("pctGradientColor1")->palette().color(QPalette::Window), before);
    EXPECT_TRUE(page->Dirty());

    // A first colour recolours the swatch and the preview; a custom colour is kept.
    ModalAnswer first(QStringLiteral("ColorDialog"), [](QWidget *d) {
        auto *dialog = static_cast<QColorDialog *>(d);
        EXPECT_EQ(dialog->currentColor(), QColor(255, 192, 112));
        QColorDialog::setCustomColor(4, QColor(1, 2, 3));
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    click("pctGradientColor1");
    EXPECT_TRUE(first.answered());
    EXPECT_EQ(control<QWidget>("pctGradientColor1")->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(squareColor(0), QColor(10, 20, 30));
    EXPECT_EQ(page->customColors()[4], 1 | (2 << 8) | (3 << 16));

    // The second swatch's dialog offers the same custom colours and leaves the preview alone.
    QColor offered;
    ModalAnswer second(QStringLiteral("ColorDialog"), [&offered](QWidget *d) {
        offered = QColorDialog::customColor(4);
        auto *dialog = static_cast<QColorDialog *>(d);
        dialog->setCurrentColor(QColor(200, 0, 0));
        dialog->accept();
    });
    click("pctGradientColor2");
    EXPECT_TRUE(second.answered());
    EXPECT_EQ(offered, QColor(1, 2, 3));
    EXPECT_EQ(squareColor(0), QColor(10, 20, 30));
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("GradientColor1"), QString::number(10 | (20 << 8) | (30 << 16)));
    EXPECT_EQ(stored("GradientColor2"), QStringLiteral("200"));
}

// A stored desktop colour (high bit set) is shown, previewed and offered to the dialog as
// the popup paints it, not as the near black of its index bytes.
TEST_F(PageTest, ADesktopColourIsShownAsThePopupPaintsIt)
{
    store("GradientColor1", QStringLiteral("-2147483643")); // 0x80000005, the window background
    store("GradientColor2", QStringLiteral("-2147483630")); // 0x80000012, the button text
    open();
    const QPalette desktop = QGuiApplication::palette();
    const QColor background = desktop.color(QPalette::Base);
    ASSERT_NE(background, QColor(5, 0, 0));
    EXPECT_EQ(control<QWidget>("pctGradientColor1")->palette().color(QPalette::Window), background);
    EXPECT_EQ(control<QWidget>("pctGradientColor2")->palette().color(QPalette::Window),
              desktop.color(QPalette::ButtonText));
    EXPECT_EQ(squareColor(0), background);

    QColor offered;
    ModalAnswer cancel(QStringLiteral("ColorDialog"), [&offered](QWidget *d) {
        offered = static_cast<QColorDialog *>(d)->currentColor();
        static_cast<QDialog *>(d)->reject();
    });
    click("pctGradientColor1");
    ASSERT_TRUE(cancel.answered());
    EXPECT_EQ(offered, background);
    // Not changed, so written back as the reference it was.
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("GradientColor1"), QStringLiteral("-2147483643"));
    EXPECT_EQ(stored("GradientColor2"), QStringLiteral("-2147483630"));
}

TEST_F(PageTest, ChosenSoundFileFillsTheTextAndItsTip)
{
    const QString wav = home.path() + QStringLiteral("/bell.wav");
    QFile(wav).open(QIODevice::WriteOnly);
    open();
    QString title;
    QStringList filters;
    ModalAnswer answer(QStringLiteral("SoundFileDialog"), [&](QWidget *d) {
        auto *dialog = static_cast<QFileDialog *>(d);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        chooseInFileDialog(dialog, wav);
    });
    click("cmdSoundPath");
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(title, QStringLiteral("Choose Notification Sound"));
    EXPECT_EQ(filters, QStringList{QStringLiteral("Sound Files (*.wav)")});
    EXPECT_EQ(control<QLineEdit>("txtSoundPath")->text(), wav);
    EXPECT_EQ(control<QLineEdit>("txtSoundPath")->toolTip(), wav);
    EXPECT_TRUE(page->Dirty());

    // Cancelled: nothing changes.
    ModalAnswer cancel(QStringLiteral("SoundFileDialog"), [](QWidget *d) { static_cast<QDialog *>(d)->reject(); });
    click("cmdSoundPath");
    EXPECT_TRUE(cancel.answered());
    EXPECT_EQ(control<QLineEdit>("txtSoundPath")->text(), wav);
}

TEST_F(PageTest, TestPopupAppliesFirstAndLeavesThePageClean)
{
    open();
    choose("cmbAlign", 2);
    const int changesBefore = site.statusChanges;
    click("btnTestPopup");
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 2"));
    EXPECT_EQ(controller.calls, (QStringList{QStringLiteral("UpdatePopupSettings"), QStringLiteral("TestPopup")}));
    EXPECT_FALSE(page->Dirty());
    // The dialog hears of it, so that its Apply button goes off as after its own apply.
    EXPECT_GT(site.statusChanges, changesBefore);
}

TEST_F(PageTest, AboutOpensThePagesOwnBoxModally)
{
    open();
    QString title;
    bool modal = false;
    ModalAnswer close(QStringLiteral("frmAbout"), [&](QWidget *box) {
        title = box->windowTitle();
        modal = box->isModal();
        static_cast<QDialog *>(box)->accept();
    });
    click("btnAbout");
    EXPECT_TRUE(close.answered());
    EXPECT_EQ(title, QStringLiteral("About Lumora Add-in for Outlook"));
    EXPECT_TRUE(modal);
}

TEST_F(PageTest, PickedFoldersAreWrittenInOrderAndACancelledPickerWritesNothing)
{
    MemoryFolderPtr store1 = app.addStore(QStringLiteral("Personal Folders"));
    MemoryFolderPtr a = app.addFolder(store1, QStringLiteral("A"));
    MemoryFolderPtr b = app.addFolder(store1, QStringLiteral("B"));
    MemoryFolderPtr c = app.addFolder(store1, QStringLiteral("C"));
    writeIni("[Setup]\nInit=0\n\n[EntryID]\nEID0=old|entry\n");
    open();

    const QByteArray before = readIni();
    for (const bool byCloseButton : {false, true}) {
        ModalAnswer cancel(QStringLiteral("frmFolders"), [byCloseButton](QWidget *d) {
            if (byCloseButton)
                d->close();
            else
                QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        click("btnFolders");
        EXPECT_TRUE(cancel.answered());
        EXPECT_EQ(readIni(), before) << "closed by the window's close button: " << byCloseButton;
    }
    EXPECT_TRUE(controller.calls.isEmpty());

    ModalAnswer pick(QStringLiteral("frmFolders"), [](QWidget *d) {
        auto *tree = d->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        tree->topLevelItem(0)->setExpanded(true);
        QTreeWidgetItem *store = tree->topLevelItem(0);
        for (int i : {2, 0, 1})
            store->child(i)->setCheckState(0, Qt::Checked);
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("cmdApply")), Qt::LeftButton);
    });
    click("btnFolders");
    ASSERT_TRUE(pick.answered());
    const auto entry = [](const MemoryFolderPtr &f) { return f->EntryID() + QLatin1Char('|') + f->StoreID(); };
    // A stored folder the user never reached in the tree is kept, ahead of the new ones.
    EXPECT_EQ(page->entryIDs(), (QStringList{QStringLiteral("old|entry"), entry(c), entry(a), entry(b)}));
    const QByteArray ini = readIni();
    EXPECT_TRUE(ini.contains(QStringLiteral("[EntryID]\nEID0 = old|entry\nEID1 = %1\nEID2 = %2\nEID3 = %3\n")
                                 .arg(entry(c), entry(a), entry(b))
                                 .toUtf8()))
        << ini.constData();
    EXPECT_EQ(controller.calls, QStringList{QStringLiteral("LoadFoldersToScan")});
    // The folder list is not part of what Apply writes.
    EXPECT_FALSE(page->Dirty());
}

// The folder list is saved in one write: when that fails the file keeps its old list whole,
// the add-in is not told to reload, and the user hears why.
TEST_F(PageTest, AFolderListThatCannotBeSavedKeepsTheOldListAndSaysWhy)
{
    MemoryFolderPtr store1 = app.addStore(QStringLiteral("Personal Folders"));
    app.addFolder(store1, QStringLiteral("A"));
    // Long enough that no rewrite fits the full disk below.
    writeIni("[Setup]\nInit=0\nFiller=" + QByteArray(2048, 'f') + "\n\n[EntryID]\nEID0=old|entry\n");
    open();
    const QByteArray before = readIni();
    const auto pickA = [](QWidget *d) {
        QTreeWidgetItem *store = d->findChild<QTreeWidget *>(QStringLiteral("TreeView1"))->topLevelItem(0);
        store->setExpanded(true);
        store->child(0)->setCheckState(0, Qt::Checked);
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("cmdApply")), Qt::LeftButton);
    };

    QString shown;
    {
        FullDisk full(1024);
        ModalAnswer pick(QStringLiteral("frmFolders"), pickA);
        const ModalAnswer told = acceptMessageBox(QStringLiteral("msgNotSaved"), &shown);
        click("btnFolders");
        ASSERT_TRUE(pick.answered());
        EXPECT_TRUE(told.answered());
    }
    EXPECT_EQ(readIni(), before);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Your watched folders could not be saved: %1 cannot be written.")
                                     .arg(QDir::toNativeSeparators(iniPath()))))
        << shown.toStdString();
    EXPECT_TRUE(log->entries.contains(QStringLiteral("1|btnFolders_Click|") + shown));
    EXPECT_TRUE(controller.calls.isEmpty());

    // With room again the same choice is saved.
    ModalAnswer again(QStringLiteral("frmFolders"), pickA);
    click("btnFolders");
    ASSERT_TRUE(again.answered());
    EXPECT_TRUE(readIni().contains("EID1 = ")) << readIni().constData();
    EXPECT_EQ(controller.calls, QStringList{QStringLiteral("LoadFoldersToScan")});
}

TEST_F(PageTest, WithoutTheAddInThePageStillLoadsAndSaysWhy)
{
    store("PopAlign", QStringLiteral("2"));
    published.controller = nullptr;
    open();
    EXPECT_EQ(
        log->entries,
        QStringList{QStringLiteral("2|UserControl_InitProperties|Could not get COM add-in object's public class")});
    // The settings still load, so an apply cannot overwrite them with the page's defaults.
    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentIndex(), 2);
    page->PropertyPage_Apply();
    EXPECT_EQ(stored("PopAlign"), QStringLiteral(" 2"));

    page.reset();
    log->entries.clear();
    app.comAddIns()->remove(QStringLiteral("Lumora.Connect"));
    open();
    EXPECT_EQ(log->entries, QStringList{QStringLiteral("3|UserControl_InitProperties|Could not get COM Add-in")});
    EXPECT_EQ(control<QComboBox>("cmbAlign")->currentIndex(), 2);
}

} // namespace
