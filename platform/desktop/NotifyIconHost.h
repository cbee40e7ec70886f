#pragma once

#include "platform/desktop/NotifyIcon.h"

#include <QObject>

class QMenu;

namespace lumora {

// Owns the notification-area icons. The desktop's system tray is used unless a test
// installs another host.
class LUMORA_PLATFORM_EXPORT NotifyIconHost : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~NotifyIconHost() override;

    // One icon operation (NIM_ADD, NIM_MODIFY, NIM_DELETE) with Shell_NotifyIconA's result.
    virtual bool notify(quint32 message, const NOTIFYICONDATAA &data) = 0;
    // The menu of icon (hWnd, uID), for trays that show an icon's menu themselves
    // (StatusNotifierItem). Elsewhere the owner pops it up on WM_RBUTTONUP, as before.
    virtual void setMenu(quint32 hWnd, quint32 uID, QMenu *menu);

    // The host in force: the system tray unless a test installed another.
    static NotifyIconHost &instance();
    // Installs a host (not owned); nullptr restores the system tray.
    static void setInstance(NotifyIconHost *host);

    // A line of the host process's own (a mail account that cannot be reached) shown below
    // every icon's tip; empty for none. The icons' owners keep setting their tips as before.
    void setStatusNote(const QString &note);
    QString statusNote() const { return m_statusNote; }

protected:
    // The note changed; hosts that show tips apply it.
    virtual void statusNoteChanged() {}

Q_SIGNALS:
    // A mouse event on the icon (hWnd, uID): the owner's callback message number and the
    // mouse message (WM_LBUTTONDBLCLK, WM_RBUTTONUP, ...).
    void callback(quint32 hWnd, quint32 uID, quint32 callbackMessage, int mouseMessage);

private:
    QString m_statusNote;
};

} // namespace lumora
