#pragma once

#include "platform/desktop/NotifyIconHost.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMenu>
#include <QPair>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;

namespace lumora {

// Notification-area icons over QSystemTrayIcon (StatusNotifierItem or XEmbed). An icon
// added while the desktop has no tray keeps its image and tip and appears once a tray does.
class LUMORA_PLATFORM_EXPORT TrayIconHost : public NotifyIconHost
{
    Q_OBJECT
public:
    TrayIconHost();
    ~TrayIconHost() override;

    bool notify(quint32 message, const NOTIFYICONDATAA &data) override;
    void setMenu(quint32 hWnd, quint32 uID, QMenu *menu) override;

    // True when the desktop offers a StatusNotifierItem tray, which Qt then uses: it shows
    // an icon's menu itself and reports every click as an activation, double clicks too.
    static bool statusNotifierTray();

    // The tool tip an icon shows (its tip and the status note); empty for no such icon.
    QString toolTip(quint32 hWnd, quint32 uID) const;

protected:
    void statusNoteChanged() override;

private:
    struct Entry
    {
        std::unique_ptr<QSystemTrayIcon> icon;
        quint32 callbackMessage = 0;
        // The tip as the owner set it, before the status note is added.
        QString tip;
        QPointer<QMenu> menu;
        // The last activation, to tell a double click where the tray reports none.
        QElapsedTimer lastTrigger;
    };

    void showTip(Entry &entry);
    using Key = QPair<quint32, quint32>;

    void apply(Entry &entry, const NOTIFYICONDATAA &data);

    QHash<Key, std::shared_ptr<Entry>> m_icons;
};

} // namespace lumora
