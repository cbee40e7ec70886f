#include "platform/desktop/TrayIconHost.h"

#include "platform/core/MailText.h"
#include "platform/core/Verbose.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSystemTrayIcon>

#include <cstring>

namespace lumora {

TrayIconHost::TrayIconHost() = default;

bool TrayIconHost::statusNotifierTray()
{
    // Asked once, as Qt asks once which tray to use.
    static const bool watched = [] {
        const QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.isConnected() && bus.interface()
            && bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
    }();
    return watched;
}

void TrayIconHost::setMenu(quint32 hWnd, quint32 uID, QMenu *menu)
{
    const std::shared_ptr<Entry> entry = m_icons.value(Key(hWnd, uID));
    if (!entry)
        return;
    entry->menu = menu;
    if (statusNotifierTray())
        entry->icon->setContextMenu(menu);
}

TrayIconHost::~TrayIconHost() = default;

void TrayIconHost::apply(Entry &entry, const NOTIFYICONDATAA &data)
{
    if (data.uFlags & NIF_MESSAGE)
        entry.callbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON)
        entry.icon->setIcon(data.hIcon);
    if (data.uFlags & NIF_TIP) {
        // The tip need not be terminated inside its field; never read past it.
        const char *tip = data.szTip;
        entry.tip = QString::fromUtf8(tip, static_cast<qsizetype>(strnlen(tip, sizeof data.szTip)));
        showTip(entry);
    }
}

void TrayIconHost::showTip(Entry &entry)
{
    const QString note = statusNote();
    // Notes name folders and accounts, which come from mail servers.
    entry.icon->setToolTip(
        MailText::linesForDisplay(note.isEmpty() ? entry.tip : entry.tip + QLatin1Char('\n') + note));
}

QString TrayIconHost::toolTip(quint32 hWnd, quint32 uID) const
{
    const std::shared_ptr<Entry> entry = m_icons.value(Key(hWnd, uID));
    return entry ? entry->icon->toolTip() : QString();
}

void TrayIconHost::statusNoteChanged()
{
    for (const auto &entry : std::as_const(m_icons))
        showTip(*entry);
}

bool TrayIconHost::notify(quint32 message, const NOTIFYICONDATAA &data)
{
    const Key key(data.hWnd, data.uID);
    switch (message) {
    case NIM_ADD: {
        // QSystemTrayIcon is a widgets facility; without a QApplication there is no tray.
        if (m_icons.contains(key) || !qobject_cast<QApplication *>(QCoreApplication::instance()))
            return false;
        auto entry = std::make_shared<Entry>();
        entry->icon = std::make_unique<QSystemTrayIcon>();
        apply(*entry, data);
        const quint32 hWnd = data.hWnd;
        const quint32 uID = data.uID;
        QSystemTrayIcon *raw = entry->icon.get();
        QObject::connect(raw, &QSystemTrayIcon::activated, this,
                         [this, key, hWnd, uID](QSystemTrayIcon::ActivationReason reason) {
                             // Looked up per event: the icon may have been deleted meanwhile.
                             const std::shared_ptr<Entry> current = m_icons.value(key);
                             if (!current)
                                 return;
                             const quint32 cb = current->callbackMessage;
                             Verbose::line(QStringLiteral("tray: activated, reason %1").arg(int(reason)));
                             switch (reason) {
                             case QSystemTrayIcon::Trigger: {
                                 Q_EMIT callback(hWnd, uID, cb, WM_LBUTTONDOWN);
                                 Q_EMIT callback(hWnd, uID, cb, WM_LBUTTONUP);
                                 // A StatusNotifierItem tray sends a double click as two
                                 // activations; the second one within the desktop's
                                 // double-click time is the double click.
                                 if (!statusNotifierTray())
                                     break;
                                 if (current->lastTrigger.isValid()
                                     && current->lastTrigger.elapsed() <= QApplication::doubleClickInterval()) {
                                     current->lastTrigger.invalidate();
                                     Q_EMIT callback(hWnd, uID, cb, WM_LBUTTONDBLCLK);
                                 } else {
                                     current->lastTrigger.start();
                                 }
                                 break;
                             }
                             case QSystemTrayIcon::DoubleClick:
                                 Q_EMIT callback(hWnd, uID, cb, WM_LBUTTONDBLCLK);
                                 break;
                             case QSystemTrayIcon::Context:
                                 Q_EMIT callback(hWnd, uID, cb, WM_RBUTTONUP);
                                 break;
                             case QSystemTrayIcon::MiddleClick:
                                 Q_EMIT callback(hWnd, uID, cb, WM_MBUTTONDOWN);
                                 Q_EMIT callback(hWnd, uID, cb, WM_MBUTTONUP);
                                 break;
                             default:
                                 break;
                             }
                         });
        // Shown even when no tray is there yet: QSystemTrayIcon watches for one and
        // embeds the icon, with the image and tip set above, when it appears.
        raw->show();
        m_icons.insert(key, std::move(entry));
        return true;
    }
    case NIM_MODIFY: {
        auto found = m_icons.find(key);
        if (found == m_icons.end())
            return false;
        apply(**found, data);
        return true;
    }
    case NIM_DELETE: {
        auto found = m_icons.find(key);
        if (found == m_icons.end())
            return false;
        std::shared_ptr<Entry> entry = *found;
        m_icons.erase(found);
        entry->icon->hide();
        // A delete may come from inside the icon's own activation signal; delete later.
        QSystemTrayIcon *icon = entry->icon.release();
        icon->deleteLater();
        return true;
    }
    default:
        return false;
    }
}

} // namespace lumora
