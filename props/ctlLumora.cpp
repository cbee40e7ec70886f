#include "props/ctlLumora.h"

#include "host/Application.h"
#include "host/COMAddIns.h"
#include "host/ComponentFactory.h"
#include "platform/core/IniFileCache.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "platform/desktop/ProblemReporter.h"
#include "props/ColorSwatch.h"
#include "props/PropsGlobals.h"
#include "props/frmFolders.h"
#include "settings/CINIFile.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsTable.h"
#include "settings/modRegistry.h"
#include "support/CFileVersionInfo.h"
#include "support/HostProgramVersion.h"
#include "support/LibraryLocation.h"
#include "support/frmAbout.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace lumora {

namespace {

const QString kAddInProgId = QStringLiteral("Lumora.Connect");
constexpr int kPreviewWidth = 72;
constexpr int kPreviewHeight = 52;
constexpr int kSquare = 10;

// The number at the start of a stored text, rounded and narrowed; nothing when it does not fit.
std::optional<qint64> numericValue(const QString &text, qint64 min, qint64 max)
{
    return SettingsTable::roundToWidth(SettingsTable::leadingNumber(text), min, max);
}

std::optional<qint64> numeric16(const QString &text)
{
    return numericValue(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
}

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

ctlLumora::ctlLumora(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ctlLumora"));
    buildControls();
    bindSettings();
    UserControl_Initialize();
}

ctlLumora::~ctlLumora()
{
    UserControl_Terminate();
}

void ctlLumora::buildControls()
{
    auto *frame1 = named(new QFrame(this), "Frame1");
    frame1->setFrameShape(QFrame::StyledPanel);
    Label1 = named(heading(tr("Popup Window"), frame1), "Label1");
    Label26 = named(new QLabel(tr("&Popup Location:"), frame1), "Label26");
    cmbAlign = named(new QComboBox(frame1), "cmbAlign");
    cmbAlign->addItems({tr("manual"), tr("top right"), tr("top left"), tr("bottom right"), tr("bottom left")});
    cmbAlign->setCurrentIndex(-1);
    Label26->setBuddy(cmbAlign);

    // The preview: a small screen with a square at each place the popup can take.
    Shape2 = named(new QFrame(frame1), "Shape2");
    Shape2->setFrameShape(QFrame::Box);
    Shape2->setFixedSize(kPreviewWidth, kPreviewHeight);
    const QPoint places[5] = {
        {(kPreviewWidth - kSquare) / 2, (kPreviewHeight - kSquare) / 2}, {kPreviewWidth - kSquare - 3, 3},  {3, 3},
        {kPreviewWidth - kSquare - 3, kPreviewHeight - kSquare - 3},     {3, kPreviewHeight - kSquare - 3},
    };
    for (int i = 0; i < 5; ++i) {
        auto *square = new QFrame(Shape2);
        square->setObjectName(QStringLiteral("shpPopup%1").arg(i));
        square->setFrameShape(QFrame::Box);
        square->setAutoFillBackground(true);
        square->setGeometry(QRect(places[i], QSize(kSquare, kSquare)));
        square->hide();
        shpPopup[size_t(i)] = square;
    }

    LabelManualX = named(new QLabel(tr("Manual X Position:"), frame1), "LabelManualX");
    txtX = named(new QLineEdit(QStringLiteral("200"), frame1), "txtX");
    LabelManualY = named(new QLabel(tr("Manual Y Position:"), frame1), "LabelManualY");
    txtY = named(new QLineEdit(QStringLiteral("300"), frame1), "txtY");
    Label9 = named(new QLabel(tr("Gradient Colors:"), frame1), "Label9");
    pctGradientColor1 = named(new ColorSwatch(frame1), "pctGradientColor1");
    pctGradientColor1->setValue(ColorSwatch::fromColor(QColor(255, 192, 112)));
    pctGradientColor2 = named(new ColorSwatch(frame1), "pctGradientColor2");
    pctGradientColor2->setValue(16777215);
    Label11 = named(new QLabel(tr("Gradient Direction:"), frame1), "Label11");
    cmbGradientOrientation = named(new QComboBox(frame1), "cmbGradientOrientation");
    cmbGradientOrientation->addItems({tr("horizontal"), tr("vertical")});
    cmbGradientOrientation->setCurrentIndex(-1);
    Label11->setBuddy(cmbGradientOrientation);
    Label12 = named(new QLabel(tr("Sound File:"), frame1), "Label12");
    txtSoundPath = named(new QLineEdit(frame1), "txtSoundPath");
    Label12->setBuddy(txtSoundPath);
    cmdSoundPath = named(new QPushButton(QStringLiteral("..."), frame1), "cmdSoundPath");
    cmdSoundPath->setFixedWidth(32);
    Label4 = named(new QLabel(tr("&Inter-message Delay:"), frame1), "Label4");
    txtDuration = named(new QLineEdit(QStringLiteral("4000"), frame1), "txtDuration");
    Label4->setBuddy(txtDuration);
    Label25 = named(new QLabel(tr("milliseconds"), frame1), "Label25");

    auto *grid1 = new QGridLayout;
    grid1->addWidget(Label26, 0, 0);
    grid1->addWidget(cmbAlign, 0, 1);
    grid1->addWidget(Shape2, 0, 2, 3, 1, Qt::AlignCenter);
    grid1->addWidget(LabelManualX, 1, 0);
    grid1->addWidget(txtX, 1, 1);
    grid1->addWidget(LabelManualY, 2, 0);
    grid1->addWidget(txtY, 2, 1);
    auto *swatches = new QHBoxLayout;
    swatches->addWidget(pctGradientColor1);
    swatches->addWidget(pctGradientColor2);
    swatches->addStretch(1);
    grid1->addWidget(Label9, 3, 0);
    grid1->addLayout(swatches, 3, 1);
    grid1->addWidget(Label11, 4, 0);
    grid1->addWidget(cmbGradientOrientation, 4, 1);
    auto *sound = new QHBoxLayout;
    sound->addWidget(txtSoundPath, 1);
    sound->addWidget(cmdSoundPath);
    grid1->addWidget(Label12, 5, 0);
    grid1->addLayout(sound, 5, 1, 1, 2);
    auto *delay = new QHBoxLayout;
    delay->addWidget(txtDuration);
    delay->addWidget(Label25);
    delay->addStretch(1);
    grid1->addWidget(Label4, 6, 0);
    grid1->addLayout(delay, 6, 1, 1, 2);
    grid1->setColumnStretch(1, 1);
    auto *box1 = new QVBoxLayout(frame1);
    box1->addWidget(Label1);
    box1->addLayout(grid1);

    auto *frame2 = named(new QFrame(this), "Frame2");
    frame2->setFrameShape(QFrame::StyledPanel);
    Label2 = named(heading(tr("Miscellaneous"), frame2), "Label2");
    Label5 = named(new QLabel(tr("Delete on Popup Window:"), frame2), "Label5");
    chkPopupDelete = named(new QCheckBox(frame2), "chkPopupDelete");
    Label5->setBuddy(chkPopupDelete);
    lblHideOnStartup = named(new QLabel(tr("Hide Outlook on Startup:"), frame2), "lblHideOnStartup");
    chkHideOnStartup = named(new QCheckBox(frame2), "chkHideOnStartup");
    lblHideOnStartup->setBuddy(chkHideOnStartup);
    lblOL2003 = named(new QLabel(tr("(feature available in current Outlook version)"), frame2), "lblOL2003");
    lblOL2003->hide();
    Label3 = named(new QLabel(tr("(Choose folders for Lumora to examine)"), frame2), "Label3");
    btnFolders = named(new QPushButton(tr("Select Folders..."), frame2), "btnFolders");
    auto *grid2 = new QGridLayout;
    grid2->addWidget(Label5, 0, 0);
    grid2->addWidget(chkPopupDelete, 0, 1);
    grid2->addWidget(lblHideOnStartup, 1, 0);
    grid2->addWidget(chkHideOnStartup, 1, 1);
    grid2->addWidget(lblOL2003, 1, 2);
    grid2->addWidget(btnFolders, 2, 0);
    grid2->addWidget(Label3, 2, 1, 1, 2);
    grid2->setColumnStretch(2, 1);
    auto *box2 = new QVBoxLayout(frame2);
    box2->addWidget(Label2);
    box2->addLayout(grid2);

    btnTestPopup = named(new QPushButton(tr("Test Popup"), this), "btnTestPopup");
    btnAbout = named(new QPushButton(tr("About Lumora..."), this), "btnAbout");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnTestPopup);
    buttons->addStretch(1);
    buttons->addWidget(btnAbout);

    auto *page = new QVBoxLayout(this);
    page->addWidget(frame1);
    page->addWidget(frame2);
    page->addLayout(buttons);
    page->addStretch(1);
    setTabOrder();

    connect(cmbAlign, &QComboBox::currentIndexChanged, this, [this] { cmbAlign_Click(); });
    for (QLineEdit *edit : {txtX, txtY, txtDuration, txtSoundPath})
        connect(edit, &QLineEdit::textChanged, this, [this] { SetDirty(); });
    connect(chkHideOnStartup, &QCheckBox::stateChanged, this, [this] { SetDirty(); });
    connect(chkPopupDelete, &QCheckBox::stateChanged, this, [this] { SetDirty(); });
    connect(cmbGradientOrientation, &QComboBox::currentIndexChanged, this, [this] { SetDirty(); });
    connect(pctGradientColor1, &ColorSwatch::clicked, this, &ctlLumora::pctGradientColor1_Click);
    connect(pctGradientColor2, &ColorSwatch::clicked, this, &ctlLumora::pctGradientColor2_Click);
    connect(cmdSoundPath, &QPushButton::clicked, this, &ctlLumora::cmdSoundPath_Click);
    connect(btnFolders, &QPushButton::clicked, this, &ctlLumora::btnFolders_Click);
    connect(btnTestPopup, &QPushButton::clicked, this, &ctlLumora::btnTestPopup_Click);
    connect(btnAbout, &QPushButton::clicked, this, &ctlLumora::btnAbout_Click);
}

void ctlLumora::setTabOrder()
{
    const QList<QWidget *> order = {
        cmbAlign,     txtX,         txtY,        pctGradientColor1, pctGradientColor2, cmbGradientOrientation,
        txtSoundPath, cmdSoundPath, txtDuration, chkPopupDelete,    chkHideOnStartup,  btnFolders,
        btnTestPopup, btnAbout};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// ---- Creation and loading ----------------------------------------------------------------

void ctlLumora::UserControl_Initialize()
{
    m_Dirty = false;
    PropsGlobals &g = props();
    if (!g.logWriter) {
        g.logging = host::ComponentFactory::global().createShared<host::Logging>(QStringLiteral("VURERIVEVI.cLogging"));
        if (g.logging) {
            QDir().mkpath(propsDataFolder());
            g.logWriter = g.logging->OpenLog(propsDataFolder() + QStringLiteral("/LumoraProps.log"));
        }
    }
}

void ctlLumora::InitProperties(host::PropertyPageSite *site)
{
    m_Site = site;
    UserControl_InitProperties();
}

void ctlLumora::UserControl_InitProperties()
{
    PropsGlobals &g = props();
    g.application = m_Site ? m_Site->application() : nullptr;

    host::COMAddIns *addIns = g.application ? g.application->comAddIns() : nullptr;
    host::COMAddIn *entry = addIns ? addIns->Item(kAddInProgId) : nullptr;
    m_AddInObject = entry ? entry->object() : nullptr;
    if (!m_AddInObject)
        g.log(3, QStringLiteral("UserControl_InitProperties"), QStringLiteral("Could not get COM Add-in"));
    if (m_AddInObject) {
        m_AddIn = m_AddInObject->property("PPClass").value<QObject *>();
        // Without the controller the page still shows and stores the settings: an apply of
        // unloaded controls would overwrite the user's settings with the page's defaults.
        if (!m_AddIn)
            g.log(2, QStringLiteral("UserControl_InitProperties"),
                  QStringLiteral("Could not get COM add-in object's public class"));
    }

    m_Loading = true;
    m_Ini = std::make_unique<CINIFile>();
    m_Ini->setLogWriter(g.logWriter);
    m_Ini->setFile(propsDataFolder() + QStringLiteral("/Lumora.ini"));
    m_Ini->setSection(QStringLiteral("EntryID"));
    InitOutlookVersion();

    for (const Binding &binding : m_bindings) {
        if (qstrcmp(binding.name, "HideOnStartup") == 0) {
            loadHideOnStartup(binding, readSetting(binding.name));
            continue;
        }
        if (const QString text = readSetting(binding.name); !text.isEmpty())
            binding.load(text);
    }

    showPreview(cmbAlign->currentIndex());
    colorPreview(pctGradientColor1->value());
    cmbAlign_Click(); // enables the manual inputs to match, without marking dirty
    m_Loading = false;
    m_Dirty = false;
}

void ctlLumora::bindSettings()
{
    const auto int16 = [](const QString &text) { return numeric16(text); };
    const auto listIndex = [int16](QComboBox *list, bool noneWhenRefused) {
        return [list, int16, noneWhenRefused](const QString &text) {
            const auto index = int16(text);
            if (index && *index >= 0 && *index < list->count())
                list->setCurrentIndex(int(*index));
            else if (noneWhenRefused)
                list->setCurrentIndex(-1); // a corner the list does not have: no selection
        };
    };
    const auto color = [](ColorSwatch *swatch) {
        return [swatch](const QString &text) {
            if (auto value = numericValue(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
                swatch->setValue(qint32(*value));
        };
    };
    const auto check = [int16](QCheckBox *box) {
        return [box, int16](const QString &text) {
            const auto state = int16(text);
            if (state && (*state == 0 || *state == 1))
                box->setChecked(*state == 1);
        };
    };
    const auto checkText = [](QCheckBox *box) {
        return [box] { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    };
    const auto typed = [](QLineEdit *edit) {
        return std::pair{[edit](const QString &text) { edit->setText(text); }, [edit] { return edit->text(); }};
    };
    const auto [loadX, saveX] = typed(txtX);
    const auto [loadY, saveY] = typed(txtY);
    const auto [loadDelay, saveDelay] = typed(txtDuration);
    m_bindings = {
        {"PopAlign", listIndex(cmbAlign, true),
         [this] {
             const int align = cmbAlign->currentIndex();
             return align >= 0 ? QStringLiteral(" %1").arg(align) : QString::number(align);
         }},
        {"ManualXPos", loadX, saveX},
        {"ManualYPos", loadY, saveY},
        {"GradientColor1", color(pctGradientColor1), [this] { return QString::number(pctGradientColor1->value()); }},
        {"GradientColor2", color(pctGradientColor2), [this] { return QString::number(pctGradientColor2->value()); }},
        {"GradientOrientation", listIndex(cmbGradientOrientation, false),
         [this] { return QString::number(cmbGradientOrientation->currentIndex()); }},
        {"MessageDelay", loadDelay, saveDelay},
        {"SoundPath",
         [this](const QString &text) {
             txtSoundPath->setText(text);
             txtSoundPath->setToolTip(text);
         },
         [this] { return txtSoundPath->text(); }},
        {"HideOnStartup", check(chkHideOnStartup), checkText(chkHideOnStartup)},
        {"PopupDelete", check(chkPopupDelete), checkText(chkPopupDelete)},
    };
}

void ctlLumora::loadHideOnStartup(const Binding &binding, const QString &stored)
{
    // The host version 11 hides its main window by itself; the page leaves that alone.
    if (m_OutlookVersion && m_OutlookVersion->FileVersionMajor() == QLatin1String("11")) {
        chkHideOnStartup->setEnabled(false);
        lblHideOnStartup->setEnabled(false);
        lblOL2003->show();
        return;
    }
    chkHideOnStartup->setChecked(false);
    chkHideOnStartup->setEnabled(true);
    lblHideOnStartup->setEnabled(true);
    lblOL2003->hide();
    if (!stored.isEmpty())
        binding.load(stored);
}

void ctlLumora::InitOutlookVersion()
{
    m_OutlookVersion = HostProgramVersion::open();
    if (const QString key = HostProgramVersion::settingsKey(m_OutlookVersion->FileVersionMajor()); !key.isEmpty())
        m_OptionsKey = key;
}

QString ctlLumora::readSetting(const char *name) const
{
    if (m_OptionsKey.isEmpty())
        return QString();
    return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, m_OptionsKey, QLatin1String(name)).toString();
}

bool ctlLumora::writeSetting(const char *name, const QString &text)
{
    return modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, m_OptionsKey, QLatin1String(name), text,
                                           reg::REG_SZ);
}

void ctlLumora::UserControl_Terminate()
{
    if (m_Ini)
        m_Ini->flush();
    m_Ini.reset();
    m_OutlookVersion.reset();
    m_AddIn = nullptr;
    m_AddInObject = nullptr;
    m_Site = nullptr;
}

void ctlLumora::GetPageInfo(QString &helpFile, qint32 &helpContext)
{
    // The page offers no help topic.
    Q_UNUSED(helpFile)
    Q_UNUSED(helpContext)
}

// ---- Editing -----------------------------------------------------------------------------

void ctlLumora::SetDirty()
{
    if (!m_Site || m_Loading)
        return;
    m_Dirty = true;
    m_Site->OnStatusChange();
}

void ctlLumora::showPreview(int index)
{
    for (int i = 0; i < 5; ++i)
        shpPopup[size_t(i)]->setVisible(i == index);
}

void ctlLumora::colorPreview(qint32 value)
{
    for (QFrame *square : shpPopup) {
        QPalette pal = square->palette();
        pal.setColor(QPalette::Window, ColorSwatch::toColor(value));
        square->setPalette(pal);
    }
}

void ctlLumora::cmbAlign_Click()
{
    const int index = cmbAlign->currentIndex();
    showPreview(index);
    const bool manual = index == 0;
    for (QWidget *w : {static_cast<QWidget *>(txtX), static_cast<QWidget *>(txtY), static_cast<QWidget *>(LabelManualX),
                       static_cast<QWidget *>(LabelManualY)})
        w->setEnabled(manual);
    SetDirty();
}

qint32 ctlLumora::ShowColorDialog(qint32 initial)
{
    // The custom colours belong to this page and live as long as it does; the dialog's own
    // list is process-wide, so it is loaded before and read back after each use.
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, ColorSwatch::toColor(m_CustomColors[size_t(i)]));
    QColorDialog dialog(ColorSwatch::toColor(initial), this);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    for (int i = 0; i < 16; ++i)
        m_CustomColors[size_t(i)] = ColorSwatch::fromColor(QColorDialog::customColor(i));
    return chosen ? ColorSwatch::fromColor(dialog.selectedColor()) : -1;
}

void ctlLumora::pctGradientColor1_Click()
{
    const qint32 color = ShowColorDialog(pctGradientColor1->value());
    if (color != -1) {
        pctGradientColor1->setValue(color);
        colorPreview(color);
    }
    SetDirty();
}

void ctlLumora::pctGradientColor2_Click()
{
    const qint32 color = ShowColorDialog(pctGradientColor2->value());
    if (color != -1)
        pctGradientColor2->setValue(color);
    SetDirty();
}

void ctlLumora::cmdSoundPath_Click()
{
    QFileDialog dialog(this, tr("Choose Notification Sound"));
    dialog.setObjectName(QStringLiteral("SoundFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(tr("Sound Files (*.wav)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QFileInfo current(txtSoundPath->text().trimmed());
    if (current.isDir()) {
        dialog.setDirectory(current.absoluteFilePath());
    } else if (!current.filePath().isEmpty() && current.dir().exists()) {
        dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst().trimmed();
    txtSoundPath->setText(path);
    txtSoundPath->setToolTip(path);
}

// ---- Applying ----------------------------------------------------------------------------

void ctlLumora::PropertyPage_Apply()
{
    // An empty key (a host version we keep no settings for) writes nothing.
    if (!m_OptionsKey.isEmpty()) {
        // One save for the whole page: every setting is stored, or none is.
        RegistryStore::Batch batch(RegistryStore::Root::CurrentUser);
        bool stored = true;
        for (const Binding &binding : m_bindings)
            stored = writeSetting(binding.name, binding.save()) && stored;
        stored = batch.commit() && stored;
        if (!stored) {
            // The page stays dirty and the add-in keeps what it has: nothing was stored.
            tellNotSaved();
            return;
        }
    }
    callAddIn("UpdatePopupSettings");
    m_Dirty = false;
    // Test Popup applies too, behind the dialog's back: the dialog asks again, so that its
    // Apply button goes off as after its own apply.
    if (m_Site)
        m_Site->OnStatusChange();
}

void ctlLumora::tellNotSaved()
{
    tellNotSaved(QStringLiteral("PropertyPage_Apply"),
                 tr("Your Lumora settings could not be saved: %1. They are kept on this page; "
                    "press Apply to try again.")
                     .arg(modRegistry::LastWriteError()));
}

void ctlLumora::tellNotSaved(const QString &procedure, const QString &text)
{
    ProblemReporter(procedure, [](int level, const QString &where, const QString &line) {
        props().log(level, where, line);
    }).tellInBox(text, this, QStringLiteral("msgNotSaved"));
}

void ctlLumora::callAddIn(const char *member)
{
    // Late-bound: a controller without the member, or none at all, changes nothing.
    if (m_AddIn)
        QMetaObject::invokeMethod(m_AddIn, member);
}

void ctlLumora::btnTestPopup_Click()
{
    PropertyPage_Apply();
    callAddIn("TestPopup");
}

void ctlLumora::btnAbout_Click()
{
    // Modal over the page, with this library's own title and version.
    frmAbout box(QStringLiteral("Lumora Add-in for Outlook"), LibraryLocation::path(), this);
    box.setLog(
        [](int level, const QString &procedure, const QString &message) { props().log(level, procedure, message); });
    box.exec();
}

void ctlLumora::btnFolders_Click()
{
    frmFolders picker(props().application, this);
    picker.Start(this);
    if (picker.Canceled())
        return;
    m_EntryIDs = picker.EntryIDs();
    QStringList lines;
    for (qsizetype i = 0; i < m_EntryIDs.size(); ++i)
        lines.append(QStringLiteral("EID%1 = %2").arg(i).arg(m_EntryIDs.at(i)));
    if (m_Ini) {
        // One save for the three steps: a reader (the add-in) never finds the list gone, and
        // a failed save leaves the old list whole.
        IniFileCache::Batch batch(m_Ini->file());
        m_Ini->deleteSection(QStringLiteral("EntryID"));
        m_Ini->addSection(QStringLiteral("EntryID"), true);
        m_Ini->writeSection(lines);
        if (!batch.commit()) {
            // The add-in keeps watching the old list; the picker offers this choice again.
            tellNotSaved(QStringLiteral("btnFolders_Click"),
                         tr("Your watched folders could not be saved: %1 cannot be written. The folders "
                            "watched stay as they were; choose them again to retry.")
                             .arg(QDir::toNativeSeparators(m_Ini->file())));
            return;
        }
        m_Ini->flush();
    }
    callAddIn("LoadFoldersToScan");
}

} // namespace lumora
