#pragma once

#include "platform/desktop/DesktopNotifications.h"

#include <QStringList>
#include <QVariantMap>

namespace lumora {

// DesktopNotifications over the session bus's org.freedesktop.Notifications service.
class FreedesktopNotifications : public DesktopNotifications
{
    Q_OBJECT
public:
    explicit FreedesktopNotifications(QObject *parent = nullptr);

    quint32 notify(const QString &summary, const QString &body, const QList<Action> &actions, int timeoutMs) override;
    void close(quint32 id) override;
    // The service's Inhibited property (offered by some servers, Plasma's among them),
    // kept up to date from its change signal and asked again, without waiting, at each call.
    bool inhibited() override;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &key);
    void onClosed(uint id, uint reason);
    void onPropertiesChanged(const QString &interfaceName, const QVariantMap &changed, const QStringList &invalidated);

private:
    void connectSignals();
    void askInhibited();

    bool m_connected = false;
    // The service's capabilities, asked once it answers.
    bool m_capabilitiesKnown = false;
    bool m_bodyMarkup = false;
    bool m_watchingProperties = false;
    bool m_inhibitedAsked = false;
    bool m_inhibited = false;
};

} // namespace lumora
