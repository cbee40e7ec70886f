#pragma once

#include "platform/core/Timer.h"
#include "platform/desktop/NotifyIcon.h"
#include "popup/PopupStyle.h"
#include "support/frmAbout.h"
#include "tray/UnreadTip.h"

#include <QDateTime>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace lumora {

class NotificationPresenter;
class PopupWindow;
class PopupWindowsManager;
class Queue;

// The add-in's hidden main form. Never seen on screen, it owns the tray icon and its
// menu, receives the icon's mouse events, carries the two timers that pace new-mail
// detection and holds the queue, the popup template and the popup windows manager while
// the add-in runs.
class Main : public QWidget
{
    Q_OBJECT
public:
    // How Form_MouseMove's coordinates are measured.
    enum ScaleModeConstants {
        vbTwips = 1,
        vbPixels = 3
    };

    explicit Main(QWidget *parent = nullptr);
    // Unloads first when the owner did not.
    ~Main() override;

    // Shows the (invisible) form, adds the tray icon in its normal state, creates the
    // queue, the popup windows manager and the popup template, loads the popup style and
    // hides the mail client's windows when the settings ask for it.
    void Form_Load();
    // Releases the popup template's style objects, the queue, the manager and the
    // template, then removes the tray icon.
    void Form_Unload();
    // Decodes a tray icon event: the mouse message number arrives in X.
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    // Hides the form whenever it is minimised.
    void Form_Resize();

    // Switches the tray icon to state 0 normal, 1 new, 2 high importance, 3 suspended;
    // any other number keeps the image and refreshes the tip.
    void SetTrayIcon(qint16 id);
    // Shows a suspension (or its end) decided elsewhere than the menu: its check and the
    // suspended icon. Nothing happens when the menu shows it already.
    void showSuspended(bool suspended);
    // The mail client's major version ("9", "10", "11", ...), stored unchanged.
    QString OutlookVersion() const { return m_outlookVersion; }
    void setOutlookVersion(const QString &value) { m_outlookVersion = value; }
    // A line shown under the icon's tip while something needs the user (empty: none).
    void setTipNote(const QString &note);
    QString tipNote() const { return m_tipNote; }
    // The watched folders' unread messages: the tip tells them after its text and the icon
    // carries their total as a badge. An empty list (nothing could be counted) shows neither.
    void setUnreadCounts(const QList<FolderUnread> &counts);
    QList<FolderUnread> unreadCounts() const { return m_unread; }
    // The record's tip text as the tray gets it.
    QByteArray tipText() const { return QByteArray(m_nid.szTip); }
    // Loads the popup style and the add-in's settings into the popup template.
    void SetPopupProps();
    // Shows a test popup with the popup template.
    void TestPopup();

    Timer &tmrMail() { return *m_tmrMail; }
    Timer &tmrBalloon() { return *m_tmrBalloon; }
    PopupWindow *popup() const { return m_popup.get(); }
    PopupWindowsManager *manager() const { return m_manager.get(); }
    // Shows new mail in place of the popup where windows cannot be placed; null elsewhere.
    NotificationPresenter *notifications() const { return m_notifications.get(); }
    // Presents through desktop notifications from the next Form_Load on, whatever the
    // platform (the default follows NotificationPresenter::replacesPopup()).
    void setUseNotifications(bool on) { m_useNotifications = on; }
    // The state whose image the icon shows.
    int trayIconState() const { return m_trayIconState; }
    bool isLoaded() const { return m_loaded; }
    QMenu *trayMenu() const { return m_mnuPopTray; }
    // The icon image of a state 0 to 3 (imgNorm, imgNew, imgHigh, imgDisabled).
    QIcon image(int state) const;
    // The window handle the tray icon is registered under.
    HWND hWnd() const { return m_hWnd; }

    int ScaleMode = vbPixels;

    // Menu commands.
    void mnuSuspend_Click();
    // The Snooze submenu: popups wait for the given time, or until tomorrow morning, or
    // until Resume Now.
    void mnuSnooze_Click(int minutes);
    void mnuSnoozeTomorrow_Click();
    void mnuSnoozeEnd_Click();
    QMenu *snoozeMenu() const { return m_mnuSnooze; }
    // When "Until Tomorrow" chosen at `now` ends.
    static QDateTime tomorrowMorning(const QDateTime &now);
    void mnuHideOutlook_Click();
    void mnuNewAppointment_Click();
    void mnuNewContact_Click();
    void mnuComposeNew_Click();
    void mnuNewNote_Click();
    void mnuNewTask_Click();
    void mnuResetIcon_Click();
    void mnuHelp_Click();
    void mnuSysAbout_Click();
    void mnuOptions_Click();
    void mnuMarkAllRead_Click();
    void mnuQuit_Click();

    // The About box while it is open, else null.
    frmAbout *aboutBox() const { return m_about; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void createMenu();
    QAction *addItem(const char *name, const QString &caption, void (Main::*handler)());
    void fillTrayRecord();
    // Hands the host's mail client identity to the window control.
    void followMailClient();
    void fillTip();
    // The icon of the current state, with the unread badge when there is unread mail.
    HICON stateIcon() const;
    void onTrayCallback(quint32 hWnd, quint32 uID, quint32 callbackMessage, int mouseMessage);
    void tmrMail_Timer();
    void tmrBalloon_Timer();

    QIcon m_imgNorm;
    QIcon m_imgNew;
    QIcon m_imgHigh;
    QIcon m_imgDisabled;
    NOTIFYICONDATAA m_nid;
    int m_trayIconState = 0;
    HWND m_hWnd = 0;
    bool m_loaded = false;
    QString m_outlookVersion;
    QString m_tipNote;
    QList<FolderUnread> m_unread;
    // The badged icon of the current state and count, made once per change.
    mutable HICON m_badged;
    mutable int m_badgedState = -1;
    mutable int m_badgedCount = 0;

    std::unique_ptr<Timer> m_tmrMail;
    std::unique_ptr<Timer> m_tmrBalloon;
    std::unique_ptr<Queue> m_queue;
    std::unique_ptr<PopupWindowsManager> m_manager;
    std::unique_ptr<PopupWindow> m_popup;
    std::unique_ptr<NotificationPresenter> m_notifications;
    bool m_useNotifications;
    PopupStyle m_style;
    QMetaObject::Connection m_trayConnection;

    QMenu *m_mnuPopTray = nullptr;
    QAction *m_mnuSuspend = nullptr;
    QMenu *m_mnuSnooze = nullptr;
    QAction *m_mnuSnoozeEnd = nullptr;
    QAction *m_mnuHideOutlook = nullptr;
    QAction *m_mnuSysAbout = nullptr;
    QPointer<frmAbout> m_about;
};

} // namespace lumora
