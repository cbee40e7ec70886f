#include "tray/Main.h"

#include "addinapi/AddInGlobals.h"
#include "addinapi/OlAddInInterface.h"
#include "host/Application.h"
#include "platform/core/Clock.h"
#include "platform/desktop/NotifyIconHost.h"
#include "platform/desktop/ProblemReporter.h"
#include "popup/NotificationPresenter.h"
#include "popup/PopupWindow.h"
#include "popup/PopupWindowsManager.h"
#include "queue/Queue.h"
#include "support/HelpLauncher.h"
#include "support/LibraryLocation.h"
#include "support/frmAbout.h"
#include "tray/TrayIconArt.h"
#include "tray/modEnumWindows.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QScreen>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace lumora {

namespace {

const char TipText[] = QT_TRANSLATE_NOOP("lumora::Main", "lumora - Outlook Tray Notifier");
const char AboutTitle[] = "Lumora Add-in DLL";

// The icon record's size in its layout with the balloon fields.
constexpr quint32 RecordSize = 488;
constexpr quint32 TrayIconId = 1;
// How often a scan that waits for the popup to go asks again.
constexpr int WaitingRecheckMs = 5000;

// Rounds like the integer conversion of the form's coordinates: to nearest, ties to even.
// Values that do not fit 32 bits give no message at all.
bool toMessageNumber(double value, int *message)
{
    if (!std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return false;
    *message = static_cast<int>(rounded);
    return true;
}

} // namespace

Main::Main(QWidget *parent)
    : QWidget(parent)
    , m_imgNorm(TrayIconArt::icon(TrayIconArt::Normal))
    , m_imgNew(TrayIconArt::icon(TrayIconArt::New))
    , m_imgHigh(TrayIconArt::icon(TrayIconArt::High))
    , m_imgDisabled(TrayIconArt::icon(TrayIconArt::Suspended))
    , m_tmrMail(Clock::instance().createTimer())
    , m_tmrBalloon(Clock::instance().createTimer())
    , m_useNotifications(NotificationPresenter::replacesPopup())
{
    setObjectName(QStringLiteral("Main"));
    // The form only exists to own the icon and the menu; showing it must not put
    // anything on screen, and hiding it must never end the application.
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    resize(1, 1);

    // Enabled with interval 0: silent until the new-mail path gives them an interval.
    m_tmrMail->setInterval(0);
    m_tmrMail->setEnabled(true);
    m_tmrBalloon->setInterval(0);
    m_tmrBalloon->setEnabled(true);
    connect(m_tmrMail.get(), &Timer::tick, this, &Main::tmrMail_Timer);
    connect(m_tmrBalloon.get(), &Timer::tick, this, &Main::tmrBalloon_Timer);

    createMenu();
}

Main::~Main()
{
    if (m_loaded)
        Form_Unload();
    delete m_mnuPopTray;
}

QAction *Main::addItem(const char *name, const QString &caption, void (Main::*handler)())
{
    QAction *action = m_mnuPopTray->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (handler) {
        // A checkable action has already toggled itself when it triggers; the handlers
        // toggle the mark themselves, so undo Qt's toggle first.
        connect(action, &QAction::triggered, this, [this, action, handler] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            (this->*handler)();
        });
    }
    return action;
}

void Main::createMenu()
{
    // A top-level menu of its own, never in a menu bar: only opened as a pop-up.
    m_mnuPopTray = new QMenu;
    m_mnuPopTray->setObjectName(QStringLiteral("mnuPopTray"));
    m_mnuPopTray->setTitle(QStringLiteral("Systray"));
    // A tray that shows the menu itself sends no right click: prepare it as it opens.
    connect(m_mnuPopTray, &QMenu::aboutToShow, this, [this] {
        m_mnuHideOutlook->setEnabled(m_outlookVersion == QLatin1String("10") || m_outlookVersion == QLatin1String("9"));
    });

    m_mnuSuspend = addItem("mnuSuspend", tr("Suspend Lumora"), &Main::mnuSuspend_Click);
    m_mnuSuspend->setCheckable(true);
    m_mnuSnooze = m_mnuPopTray->addMenu(tr("S&nooze"));
    m_mnuSnooze->setObjectName(QStringLiteral("mnuSnooze"));
    const std::pair<const char *, int> snoozes[] = {
        {QT_TR_NOOP("15 Minutes"), 15}, {QT_TR_NOOP("1 Hour"), 60}, {QT_TR_NOOP("4 Hours"), 240}};
    for (const auto &[caption, minutes] : snoozes) {
        QAction *action = m_mnuSnooze->addAction(tr(caption));
        action->setObjectName(QStringLiteral("mnuSnooze%1").arg(minutes));
        connect(action, &QAction::triggered, this, [this, minutes] { mnuSnooze_Click(minutes); });
    }
    QAction *tomorrow = m_mnuSnooze->addAction(tr("Until Tomorrow"));
    tomorrow->setObjectName(QStringLiteral("mnuSnoozeTomorrow"));
    connect(tomorrow, &QAction::triggered, this, &Main::mnuSnoozeTomorrow_Click);
    m_mnuSnooze->addSeparator();
    m_mnuSnoozeEnd = m_mnuSnooze->addAction(tr("Resume Now"));
    m_mnuSnoozeEnd->setObjectName(QStringLiteral("mnuSnoozeEnd"));
    m_mnuSnoozeEnd->setVisible(false);
    connect(m_mnuSnoozeEnd, &QAction::triggered, this, &Main::mnuSnoozeEnd_Click);
    connect(m_mnuSnooze, &QMenu::aboutToShow, this, [this] {
        const OlAddInInterface *controller = addIn().controller;
        m_mnuSnoozeEnd->setVisible(controller && controller->SnoozedUntil().isValid());
    });
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep5"));
    m_mnuHideOutlook = addItem("mnuHideOutlook", tr("Hide Outlook"), &Main::mnuHideOutlook_Click);
    m_mnuHideOutlook->setCheckable(true);
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep4"));
    addItem("mnuNewAppointment", tr("New &Appointment..."), &Main::mnuNewAppointment_Click);
    addItem("mnuNewContact", tr("New &Contact..."), &Main::mnuNewContact_Click);
    addItem("mnuComposeNew", tr("New &Mail..."), &Main::mnuComposeNew_Click);
    addItem("mnuNewNote", tr("New &Note..."), &Main::mnuNewNote_Click);
    addItem("mnuNewTask", tr("New &Task..."), &Main::mnuNewTask_Click);
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep3"));
    addItem("mnuResetIcon", tr("&Reset Icon"), &Main::mnuResetIcon_Click);
    addItem("mnuMarkAllRead", tr("Mar&k All as Read"), &Main::mnuMarkAllRead_Click);
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    addItem("mnuOptions", tr("&Options..."), &Main::mnuOptions_Click);
    addItem("mnuHelp", tr("Lumora Help..."), &Main::mnuHelp_Click);
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    m_mnuSysAbout = addItem("mnuSysAbout", tr("&About Lumora..."), &Main::mnuSysAbout_Click);
    m_mnuPopTray->addSeparator()->setObjectName(QStringLiteral("mnuSep0"));
    addItem("mnuQuit", tr("&Quit Lumora"), &Main::mnuQuit_Click);
}

QIcon Main::image(int state) const
{
    switch (state) {
    case 0:
        return m_imgNorm;
    case 1:
        return m_imgNew;
    case 2:
        return m_imgHigh;
    case 3:
        return m_imgDisabled;
    default:
        return {};
    }
}

void Main::fillTrayRecord()
{
    m_nid.cbSize = RecordSize;
    m_nid.hWnd = m_hWnd;
    m_nid.uID = TrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_MOUSEMOVE;
}

void Main::fillTip()
{
    QByteArray tip(tr(TipText).toUtf8());
    const QByteArray note = m_tipNote.toUtf8();
    // The tip text first, then the unread total, then the note; the folders' own counts
    // only as far as they leave the note its room.
    const int room = int(sizeof m_nid.szTip - 1) - int(tip.size()) - 1 - (note.isEmpty() ? 0 : int(note.size()) + 1);
    const QByteArray unread = UnreadTip::line(m_unread, room);
    if (!unread.isEmpty())
        tip += '\n' + unread;
    if (!note.isEmpty())
        tip += '\n' + note;
    // The record holds 127 bytes and a NUL; a cut never splits a UTF-8 sequence.
    qsizetype n = qMin<qsizetype>(tip.size(), sizeof m_nid.szTip - 1);
    while (n > 0 && n < tip.size() && (uchar(tip.at(n)) & 0xC0) == 0x80)
        --n;
    std::memset(m_nid.szTip, 0, sizeof m_nid.szTip);
    std::memcpy(m_nid.szTip, tip.constData(), size_t(n));
}

HICON Main::stateIcon() const
{
    const int count = UnreadTip::total(m_unread);
    if (count <= 0)
        return image(m_trayIconState);
    if (m_badgedState != m_trayIconState || m_badgedCount != count) {
        m_badged = TrayIconArt::iconWithCount(TrayIconArt::State(m_trayIconState), count);
        m_badgedState = m_trayIconState;
        m_badgedCount = count;
    }
    return m_badged;
}

void Main::setUnreadCounts(const QList<FolderUnread> &counts)
{
    bool same = counts.size() == m_unread.size();
    for (qsizetype i = 0; same && i < counts.size(); ++i)
        same = counts.at(i).name == m_unread.at(i).name && counts.at(i).count == m_unread.at(i).count;
    if (same)
        return;
    m_unread = counts;
    if (m_loaded)
        SetTrayIcon(-1); // keeps the state, refreshes the badge and the tip
}

void Main::setTipNote(const QString &note)
{
    if (note == m_tipNote)
        return;
    m_tipNote = note;
    if (m_loaded)
        SetTrayIcon(-1); // keeps the image, refreshes the tip
}

void Main::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;

    show();
    m_hWnd = static_cast<HWND>(winId());

    fillTrayRecord();
    m_trayIconState = 0;
    m_nid.hIcon = stateIcon();
    fillTip();
    NotifyIconHost &host = NotifyIconHost::instance();
    m_trayConnection = connect(&host, &NotifyIconHost::callback, this, &Main::onTrayCallback);
    Shell_NotifyIconA(NIM_ADD, &m_nid);
    host.setMenu(m_nid.hWnd, m_nid.uID, m_mnuPopTray);

    m_queue = std::make_unique<Queue>();
    addIn().queue = m_queue.get();
    m_manager = std::make_unique<PopupWindowsManager>();
    m_popup = std::make_unique<PopupWindow>();
    if (m_useNotifications)
        m_notifications = std::make_unique<NotificationPresenter>();

    SetPopupProps();

    followMailClient();
    if (addIn().settings.HideOnStartup == 1) {
        modEnumWindows::HideOutlookWindows();
        m_mnuHideOutlook->setChecked(true);
    }
}

void Main::Form_Unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;

    if (m_popup) {
        m_popup->MessageFont() = QFont();
        m_popup->MessageFontOver() = QFont();
        m_popup->setPopupPicture(nullptr);
    }
    m_notifications.reset();
    if (addIn().queue == m_queue.get())
        addIn().queue = nullptr;
    m_queue.reset();
    m_manager.reset();
    m_popup.reset();

    delete m_about;

    Shell_NotifyIconA(NIM_DELETE, &m_nid);
    disconnect(m_trayConnection);
    m_mnuPopTray->close();
    hide();
}

void Main::SetTrayIcon(qint16 id)
{
    fillTrayRecord();
    switch (id) {
    case 0:
        m_nid.hIcon = m_imgNorm;
        break;
    case 1:
        m_nid.hIcon = m_imgNew;
        break;
    case 2:
        m_nid.hIcon = m_imgHigh;
        break;
    case 3:
        m_nid.hIcon = m_imgDisabled;
        break;
    default:
        break;
    }
    if (id >= 0 && id <= 3)
        m_trayIconState = id;
    // The state's image, or the previous one for other ids, with the count's badge.
    m_nid.hIcon = stateIcon();
    fillTip();
    Shell_NotifyIconA(NIM_MODIFY, &m_nid);
}

void Main::onTrayCallback(quint32 hWnd, quint32 uID, quint32 callbackMessage, int mouseMessage)
{
    // The shell reports the icon's events as mouse moves over the form, the event's
    // message number standing in for the horizontal coordinate.
    if (hWnd != m_hWnd || uID != TrayIconId || callbackMessage != WM_MOUSEMOVE)
        return;
    double x = mouseMessage;
    if (ScaleMode != vbPixels) {
        const QScreen *s = screen();
        const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
        x = mouseMessage * (1440.0 / (dpi > 0 ? dpi : 96.0));
    }
    Form_MouseMove(0, 0, x, 0);
}

void Main::Form_MouseMove(int Button, int Shift, double X, double Y)
{
    Q_UNUSED(Button)
    Q_UNUSED(Shift)
    Q_UNUSED(Y)
    int message = 0;
    if (ScaleMode == vbPixels) {
        if (!toMessageNumber(X, &message))
            return;
    } else {
        const QScreen *s = screen();
        const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
        const double twipsPerPixel = 1440.0 / (dpi > 0 ? dpi : 96.0);
        if (!toMessageNumber(X / twipsPerPixel, &message))
            return;
    }

    switch (message) {
    case WM_LBUTTONDBLCLK:
        modEnumWindows::RestoreOutlookWindow();
        m_mnuHideOutlook->setChecked(false);
        break;
    case WM_RBUTTONUP:
        SetForegroundWindow(m_hWnd);
        m_mnuHideOutlook->setEnabled(m_outlookVersion == QLatin1String("10") || m_outlookVersion == QLatin1String("9"));
        m_mnuPopTray->popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void Main::Form_Resize()
{
    if (windowState() & Qt::WindowMinimized)
        hide();
}

void Main::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Main::SetPopupProps()
{
    if (m_popup)
        m_style.SetPopupProps(*m_popup, addIn().settings);
}

void Main::TestPopup()
{
    if (m_notifications)
        m_notifications->ShowTest();
    else if (m_manager && m_popup)
        m_manager->PlaceAndShowTest(*m_popup);
}

void Main::tmrMail_Timer()
{
    // A scan waits while a popup shows; the timer keeps ticking and asks again, at the
    // quiet interval even when a burst's deadline had shortened the countdown.
    if ((m_popup && m_popup->isShowing()) || (m_notifications && m_notifications->isShowing())) {
        if (m_tmrMail->interval() < WaitingRecheckMs)
            m_tmrMail->setInterval(WaitingRecheckMs);
        return;
    }
    m_tmrMail->setEnabled(false);
    if (OlAddInInterface *controller = addIn().controller)
        controller->GetNewMailMessages();
}

void Main::tmrBalloon_Timer()
{
    m_tmrBalloon->setEnabled(false);
    OlAddInInterface *controller = addIn().controller;
    if (!controller || controller->WindowState() || controller->HoldPopups())
        return;
    if (m_notifications)
        m_notifications->Show();
    else if (m_popup && m_manager && !m_popup->isShowing())
        m_manager->PlaceAndShow(*m_popup);
}

void Main::mnuSuspend_Click()
{
    m_mnuSuspend->setChecked(!m_mnuSuspend->isChecked());
    if (OlAddInInterface *controller = addIn().controller)
        controller->setEnabled(!controller->Enabled());
    SetTrayIcon(m_mnuSuspend->isChecked() ? 3 : 0);
}

void Main::showSuspended(bool suspended)
{
    if (!m_mnuSuspend || m_mnuSuspend->isChecked() == suspended)
        return;
    m_mnuSuspend->setChecked(suspended);
    SetTrayIcon(suspended ? 3 : 0);
}

QDateTime Main::tomorrowMorning(const QDateTime &now)
{
    // Eight o'clock: around when a working day starts, so a snooze chosen in the evening
    // keeps the night quiet and ends before the day's mail begins to matter.
    return QDateTime(now.date().addDays(1), QTime(8, 0));
}

void Main::mnuSnooze_Click(int minutes)
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->Snooze(Clock::instance().now().addSecs(qint64(minutes) * 60));
}

void Main::mnuSnoozeTomorrow_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->Snooze(tomorrowMorning(Clock::instance().now()));
}

void Main::mnuSnoozeEnd_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->Snooze(QDateTime());
}

void Main::mnuHideOutlook_Click()
{
    m_mnuHideOutlook->setChecked(!m_mnuHideOutlook->isChecked());
    followMailClient();
    if (m_mnuHideOutlook->isChecked())
        modEnumWindows::HideOutlookWindows();
    else
        modEnumWindows::ShowOutlookWindow();
}

void Main::mnuNewAppointment_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->ComposeNewAppointment();
}

void Main::mnuNewContact_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->ComposeNewContact();
}

void Main::mnuComposeNew_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->ComposeNewMail();
}

void Main::mnuNewNote_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->ComposeNewNote();
}

void Main::mnuNewTask_Click()
{
    if (OlAddInInterface *controller = addIn().controller)
        controller->ComposeNewTask();
}

void Main::mnuResetIcon_Click()
{
    SetTrayIcon(0);
}

void Main::mnuOptions_Click()
{
    // The options dialog belongs to the host; the add-in only asks for it.
    if (addIn().application)
        addIn().application->ShowOptions();
}

void Main::mnuMarkAllRead_Click()
{
    OlAddInInterface *controller = addIn().controller;
    if (!controller)
        return;
    // The message on screen is read as well: it was taken from the queue to be shown.
    QList<QPair<QString, QString>> messages;
    if (m_popup && m_popup->isShowing() && !m_popup->shownEntryId().isEmpty())
        messages.append({m_popup->shownEntryId(), m_popup->shownStoreId()});
    if (m_queue)
        messages += m_queue->addresses();
    controller->MarkMailMessagesRead(messages);
    if (const qint32 rest = m_queue ? m_queue->unaddressed() : 0; rest > 0) {
        // Never reported as done: the oldest of a long stream are read in the mail client.
        ProblemReporter(
            QStringLiteral("mnuMarkAllRead_Click"),
            [](int level, const QString &procedure, const QString &text) { addIn().log(level, procedure, text); })
            .tellInBox(tr("%n more messages came while the queue was full and were not marked as read; "
                          "mark them read in your mail client.",
                          nullptr, int(rest)),
                       nullptr, QStringLiteral("msgNotAllRead"), ProblemReporter::Box::Open);
    }
    // Read mail is not announced: the rest of the queue goes, as the close button does it.
    if (m_popup && m_popup->isShowing())
        m_popup->Image1_Click();
    else if (m_queue)
        m_queue->RemoveAll();
}

void Main::mnuQuit_Click()
{
    // The host ends the run, as for `lumora --quit`: it owns the add-in and unloads this form.
    if (addIn().application)
        addIn().application->Quit();
}

void Main::mnuHelp_Click()
{
    int number = 0;
    QString description;
    if (HelpLauncher::open(addIn().libraryFolder, &number, &description))
        return;
    addIn().log(4, QStringLiteral("mnuHelp_Click"), HelpLauncher::shellError(number, description));
}

void Main::followMailClient()
{
    // The host may learn or change the client while we run (its options dialog).
    if (addIn().application)
        modEnumWindows::setMailClientClass(addIn().application->mailClientClass());
}

void Main::mnuSysAbout_Click()
{
    // One box at a time, owned by nobody: a second click brings the open one forward.
    if (!m_about) {
        m_about = new frmAbout(QLatin1String(AboutTitle), LibraryLocation::path());
        m_about->setAttribute(Qt::WA_DeleteOnClose);
        m_about->setLog([](int level, const QString &procedure, const QString &message) {
            addIn().log(level, procedure, message);
        });
    }
    followMailClient();
    m_about->setMailClient(modEnumWindows::mailClientClass());
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace lumora
