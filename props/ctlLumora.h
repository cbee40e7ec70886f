#pragma once

#include "host/PropertyPage.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumora {

class CFileVersionInfo;
class CINIFile;
class ColorSwatch;

// The "Lumora" page of the host's options dialog: popup corner, colours, sound, display
// time, start-up options and the watched folders. It loads the settings when the dialog
// creates it, writes them on Apply and then has the running add-in reload them. It reaches
// the add-in only late-bound, through the add-in entry "Lumora.Connect" and its PPClass.
class ctlLumora : public QWidget, public host::PropertyPage
{
    Q_OBJECT
    Q_INTERFACES(lumora::host::PropertyPage)
    Q_PROPERTY(QVariant name READ name)
public:
    explicit ctlLumora(QWidget *parent = nullptr);
    ~ctlLumora() override;

    QVariant name() const { return QStringLiteral("Lumora"); }
    // Chooses the settings key from the host program's major version, as the add-in does.
    Q_INVOKABLE void InitOutlookVersion();

    // The page contract.
    void InitProperties(host::PropertyPageSite *site) override;
    void Apply() override { PropertyPage_Apply(); }
    bool Dirty() const override { return m_Dirty; }
    void GetPageInfo(QString &helpFile, qint32 &helpContext) override;

    Q_INVOKABLE void PropertyPage_Apply();

    QString optionsKey() const { return m_OptionsKey; }
    QStringList entryIDs() const { return m_EntryIDs; }
    const std::array<qint32, 16> &customColors() const { return m_CustomColors; }

private:
    void UserControl_Initialize();
    void UserControl_InitProperties();
    void UserControl_Terminate();
    void buildControls();
    void setTabOrder();
    void SetDirty();
    void cmbAlign_Click();
    void pctGradientColor1_Click();
    void pctGradientColor2_Click();
    qint32 ShowColorDialog(qint32 initial);
    void cmdSoundPath_Click();
    void btnFolders_Click();
    void btnTestPopup_Click();
    void btnAbout_Click();
    void showPreview(int index);
    void colorPreview(qint32 value);
    void callAddIn(const char *member);
    QString readSetting(const char *name) const;
    bool writeSetting(const char *name, const QString &text);
    void tellNotSaved();
    // Says on stderr, in the log and in a message box that something was not saved.
    void tellNotSaved(const QString &procedure, const QString &text);
    void bindSettings();

    // One settings row and its control: load takes the stored text (never empty), save gives
    // the text to write. Loading and applying both walk this one list, in the stored order.
    struct Binding
    {
        const char *name;
        std::function<void(const QString &)> load;
        std::function<QString()> save;
    };
    std::vector<Binding> m_bindings;
    void loadHideOnStartup(const Binding &binding, const QString &stored);

    QString m_OptionsKey;
    QPointer<host::PropertyPageSite> m_Site;
    bool m_Dirty = false;
    bool m_Loading = false;
    QPointer<QObject> m_AddInObject;
    QPointer<QObject> m_AddIn;
    std::unique_ptr<CFileVersionInfo> m_OutlookVersion;
    std::unique_ptr<CINIFile> m_Ini;
    QStringList m_EntryIDs;
    std::array<qint32, 16> m_CustomColors{};

    QLabel *Label1 = nullptr;
    QLabel *Label26 = nullptr;
    QComboBox *cmbAlign = nullptr;
    QFrame *Shape2 = nullptr;
    std::array<QFrame *, 5> shpPopup{};
    QLabel *LabelManualX = nullptr;
    QLineEdit *txtX = nullptr;
    QLabel *LabelManualY = nullptr;
    QLineEdit *txtY = nullptr;
    QLabel *Label9 = nullptr;
    ColorSwatch *pctGradientColor1 = nullptr;
    ColorSwatch *pctGradientColor2 = nullptr;
    QLabel *Label11 = nullptr;
    QComboBox *cmbGradientOrientation = nullptr;
    QLabel *Label12 = nullptr;
    QLineEdit *txtSoundPath = nullptr;
    QPushButton *cmdSoundPath = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *txtDuration = nullptr;
    QLabel *Label25 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label5 = nullptr;
    QCheckBox *chkPopupDelete = nullptr;
    QLabel *lblHideOnStartup = nullptr;
    QCheckBox *chkHideOnStartup = nullptr;
    QLabel *lblOL2003 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *btnFolders = nullptr;
    QPushButton *btnTestPopup = nullptr;
    QPushButton *btnAbout = nullptr;
};

} // namespace lumora
