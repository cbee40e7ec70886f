#include "support/frmAbout.h"

#include "platform/core/ProcessLauncher.h"
#include "platform/core/VersionInfo.h"
#include "support/HelpLauncher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace lumora {

using namespace reg;

namespace {

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");
const QString kSysInfoProgram = QStringLiteral("/MSINFO32.EXE");
const char kUnavailable[] = QT_TRANSLATE_NOOP("lumora::frmAbout", "System Information Is Unavailable At This Time");

// Every specific key right plus read-control.
constexpr DWORD kKeyAccess = 0x2003F;
constexpr DWORD kValueBuffer = 1024;

// "Version " and major.minor.revision of the file's fixed version record, or an honest
// word when the file carries none.
QString versionText(const QString &path)
{
    ver::DWORD handle = 0;
    const ver::DWORD size = ver::GetFileVersionInfoSizeA(path, &handle);
    std::vector<char> block(size);
    const void *fixed = nullptr;
    quint32 length = 0;
    if (size == 0 || !ver::GetFileVersionInfoA(path, handle, size, block.data())
        || !ver::VerQueryValueA(block.data(), QStringLiteral("\\"), &fixed, &length) || length < 16)
        return QCoreApplication::translate("lumora::frmAbout", "Version unknown");
    const auto *record = static_cast<const uchar *>(fixed);
    const quint32 versionMs = qFromLittleEndian<quint32>(record + 8);
    const quint32 versionLs = qFromLittleEndian<quint32>(record + 12);
    return QCoreApplication::translate("lumora::frmAbout", "Version %1.%2.%3")
        .arg(versionMs >> 16)
        .arg(versionMs & 0xFFFF)
        .arg(versionLs & 0xFFFF);
}

// The product icon: an envelope on a round-cornered evening-blue tile.
QPixmap productIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 0, 0, size);
    tile.setColorAt(0, QColor(0x3b, 0x6e, 0xc4));
    tile.setColorAt(1, QColor(0x1d, 0x3a, 0x78));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.18, size * 0.18);

    const QRectF envelope(size * 0.18, size * 0.3, size * 0.64, size * 0.42);
    p.setPen(QPen(QColor(0x22, 0x2a, 0x33), size / 32.0));
    p.setBrush(QColor(0xfa, 0xfa, 0xf7));
    p.drawRect(envelope);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft());
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.55);
    flap.lineTo(envelope.topRight());
    p.setBrush(QColor(0xe2, 0xe6, 0xec));
    p.drawPath(flap);
    // A small glow in the corner: the light that tells of new mail.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    p.drawEllipse(QPointF(size * 0.78, size * 0.3), size * 0.1, size * 0.1);
    return pixmap;
}

QFrame *separator(const char *name)
{
    auto *line = new QFrame;
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel *notice(const char *name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmAbout::frmAbout(const QString &title, const QString &libraryPath, QWidget *parent)
    : QDialog(parent)
    , m_title(title)
    , m_libraryPath(libraryPath)
{
    setObjectName(QStringLiteral("frmAbout"));
    createControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::createControls()
{
    m_picIcon = new QLabel;
    m_picIcon->setObjectName(QStringLiteral("picIcon"));
    m_picIcon->setPixmap(productIcon(48));
    m_picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_lblTitle = new QLabel;
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setTextFormat(Qt::PlainText);
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_lblVersion = new QLabel;
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setTextFormat(Qt::PlainText);
    QLabel *lblDescription = notice("lblDescription",
                                    tr("Copyright \u00A9 2026 Corvane Software. All rights reserved.\n"
                                       "Lumora tells you of new mail with a small popup and a tray icon."));
    m_lblClient = notice("lblClient", QString());
    m_lblClient->hide();

    auto *text = new QVBoxLayout;
    text->addWidget(m_lblTitle);
    text->addWidget(m_lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addWidget(m_lblClient);
    auto *top = new QHBoxLayout;
    top->addWidget(m_picIcon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    QLabel *lblSupport = notice("lblSupport",
                                tr("Technical support: open Lumora Help from the tray menu, or write to "
                                   "Corvane Software's support desk with the contents of your Lumora.log."));
    QLabel *lblDisclaimer = notice("lblDisclaimer",
                                   tr("Warning: this program is protected by copyright law. It may not be copied, "
                                      "passed on or used in any other way without the consent of Corvane Software."));

    m_cmdOK = new QPushButton(tr("OK"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    auto *cmdSysInfo = new QPushButton(tr("&System Info..."));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto *btnHelp = new QPushButton(tr("Help..."));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    // OK is the default button; Escape reaches reject(), which cmdOK_Click shares.
    m_cmdOK->setDefault(true);
    cmdSysInfo->setAutoDefault(false);
    btnHelp->setAutoDefault(false);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(btnHelp, &QPushButton::clicked, this, &frmAbout::btnHelp_Click);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    auto *notices = new QVBoxLayout;
    notices->addWidget(lblSupport);
    notices->addWidget(lblDisclaimer);
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(notices, 1);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(separator("Line1_0"));
    layout->addLayout(bottom);
    layout->addWidget(separator("Line1_1"));
    setMinimumWidth(460);
}

void frmAbout::Form_Load()
{
    setWindowTitle(tr("About %1").arg(m_title));
    m_lblVersion->setText(versionText(m_libraryPath));
    m_lblTitle->setText(m_title);
}

void frmAbout::setMailClient(const QString &windowClass)
{
    m_lblClient->setText(windowClass.isEmpty()
                             ? QString()
                             : tr("\"Hide Outlook\" acts on your mail client's windows (%1).").arg(windowClass));
    m_lblClient->setVisible(!windowClass.isEmpty());
}

void frmAbout::cmdOK_Click()
{
    // Closing ends exec() for a modal box and unloads a modeless one.
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

bool frmAbout::start(const QString &program)
{
    return !program.isEmpty() && ProcessLauncher::instance().startDetached(program, {});
}

void frmAbout::StartSysInfo()
{
    HKEY root = HKEY_LOCAL_MACHINE;
    QString key = kSysInfoKey;
    QString value = kSysInfoValue;
    QString sysInfoPath;
    if (GetKeyValue(root, key, value, sysInfoPath)) {
        if (start(sysInfoPath))
            return;
    } else {
        key = kSysInfoLocationKey;
        value = kSysInfoLocationValue;
        if (GetKeyValue(root, key, value, sysInfoPath)) {
            const QString program = sysInfoPath + kSysInfoProgram;
            if (QFileInfo(program).isFile() && start(program))
                return;
        }
    }
    MsgBox(tr(kUnavailable));
}

bool frmAbout::GetKeyValue(HKEY &KeyRoot, QString &KeyName, QString &SubKeyRef, QString &KeyVal)
{
    HKEY hKey = 0;
    if (RegOpenKeyExA(KeyRoot, KeyName, 0, kKeyAccess, &hKey) != ERROR_SUCCESS) {
        KeyVal.clear();
        RegCloseKey(hKey);
        return false;
    }
    QByteArray buffer(kValueBuffer, '\0');
    DWORD size = kValueBuffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(hKey, SubKeyRef, nullptr, &type, reinterpret_cast<unsigned char *>(buffer.data()), &size)
        != ERROR_SUCCESS) {
        KeyVal.clear();
        RegCloseKey(hKey);
        return false;
    }
    buffer.truncate(qMin<DWORD>(size, kValueBuffer));
    if (!buffer.isEmpty() && buffer.back() == '\0')
        buffer.chop(1);
    switch (type) {
    case REG_SZ:
        KeyVal = QString::fromUtf8(buffer);
        break;
    case REG_DWORD: {
        // Little-endian bytes, read most significant first; a cut trailing zero byte
        // counts as zero.
        quint32 number = 0;
        for (qsizetype i = qMin<qsizetype>(buffer.size(), 4) - 1; i >= 0; --i)
            number = (number << 8) | static_cast<uchar>(buffer.at(i));
        KeyVal = QString::number(number);
        break;
    }
    default:
        break;
    }
    RegCloseKey(hKey);
    return true;
}

void frmAbout::btnHelp_Click()
{
    int number = 0;
    QString description;
    if (HelpLauncher::open(QFileInfo(m_libraryPath).absolutePath(), &number, &description))
        return;
    if (m_log)
        m_log(4, QStringLiteral("btnHelp_Click"), HelpLauncher::shellError(number, description));
}

void frmAbout::MsgBox(const QString &text)
{
    QMessageBox::information(this, m_title, text, QMessageBox::Ok);
}

} // namespace lumora
