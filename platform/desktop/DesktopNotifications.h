#pragma once

#include "platform/core/PlatformExport.h"

#include <QList>
#include <QObject>
#include <QString>

namespace lumora {

// The desktop's notification service (org.freedesktop.Notifications): where a window cannot
// be placed at a screen corner, new mail is shown as notifications with actions instead.
// Replaceable so tests can show, click and close notifications without a session bus.
class LUMORA_PLATFORM_EXPORT DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    struct Action
    {
        QString key;
        QString label;
    };

    using QObject::QObject;
    ~DesktopNotifications() override;

    // Shows a notification for timeoutMs (0: until closed) and returns its id, or 0 when no
    // service took it. The body is plain text; it is escaped where the service reads markup.
    virtual quint32 notify(const QString &summary, const QString &body, const QList<Action> &actions,
                           int timeoutMs) = 0;
    // Withdraws a notification; closing one that is gone is harmless.
    virtual void close(quint32 id) = 0;
    // Whether the desktop's do-not-disturb is on; false where the service does not say.
    // Never waits for the service: it answers with what the service last said.
    virtual bool inhibited();

    // The service in force: the session bus's unless a test installed another.
    static DesktopNotifications &instance();
    // Installs a service (not owned); nullptr restores the real one.
    static void setInstance(DesktopNotifications *notifications);

Q_SIGNALS:
    // The user chose an action of notification id.
    void actionInvoked(quint32 id, const QString &key);
    // Notification id expired, was dismissed or closed.
    void closed(quint32 id);
};

} // namespace lumora
