#pragma once

#include "platform/desktop/DesktopNotifications.h"

#include <QList>

namespace lumora::test {

// A notification service in memory; installed for its lifetime. Tests read what is shown
// and click, dismiss or expire it through the control surface.
class FakeDesktopNotifications : public DesktopNotifications
{
public:
    struct Shown
    {
        quint32 id;
        QString summary;
        QString body;
        QStringList actionKeys;
        int timeoutMs;
        bool open;
    };

    FakeDesktopNotifications() { DesktopNotifications::setInstance(this); }
    ~FakeDesktopNotifications() override { DesktopNotifications::setInstance(nullptr); }

    quint32 notify(const QString &summary, const QString &body, const QList<Action> &actions, int timeoutMs) override
    {
        if (!available)
            return 0;
        QStringList keys;
        for (const Action &action : actions)
            keys << action.key;
        shown.append({nextId, summary, body, keys, timeoutMs, true});
        return nextId++;
    }
    void close(quint32 id) override
    {
        for (Shown &s : shown) {
            if (s.id == id && s.open) {
                s.open = false;
                Q_EMIT closed(id);
            }
        }
    }

    bool inhibited() override { return doNotDisturb; }

    // The user clicks an action of the newest notification; the service then closes it,
    // as servers do.
    void invoke(const QString &key)
    {
        const quint32 id = shown.last().id;
        Q_EMIT actionInvoked(id, key);
        close(id);
    }
    // The newest notification expires or is dismissed.
    void dismiss() { close(shown.last().id); }
    // How many notifications are still on screen.
    int openCount() const
    {
        int n = 0;
        for (const Shown &s : shown)
            n += s.open ? 1 : 0;
        return n;
    }

    bool available = true;
    // The desktop's do-not-disturb, as the service would report it.
    bool doNotDisturb = false;
    quint32 nextId = 1;
    QList<Shown> shown;
};

} // namespace lumora::test
