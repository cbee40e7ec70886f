#pragma once

#include "platform/desktop/DesktopNotifications.h"

#include <QStringList>

namespace lumora {

// DesktopNotifications over the session bus's org.freedesktop.Notifications service.
class FreedesktopNotifications : public DesktopNotifications
{
    Q_OBJECT
public:
    explicit FreedesktopNotifications(QObject *parent = nullptr);

    quint32 notify(const QString &summary, const QString &body, const QList<Action> &actions, int timeoutMs) override;
    void close(quint32 id) override;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &key);
    void onClosed(uint id, uint reason);

private:
    void connectSignals();

    bool m_connected = false;
    // The service's capabilities, asked once it answers.
    bool m_capabilitiesKnown = false;
    bool m_bodyMarkup = false;
};

} // namespace lumora
