#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QPointer>

#include <functional>

namespace lumora {

// The running Lumora on the session bus (org.lumora.Lumora at /org/lumora/Lumora): the
// unread count and the quiet state as properties, a signal per queued message, and the
// tray menu's Suspend, Resume, Snooze, Options and Quit as methods. The controller is
// reached late-bound, as the host reaches it everywhere; the public slots below are what
// the bus sees.
class DBusService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lumora.Lumora")
    Q_PROPERTY(int UnreadCount READ unreadCount)
    Q_PROPERTY(bool Suspended READ suspended)
    Q_PROPERTY(bool Snoozed READ snoozed)
    Q_PROPERTY(qlonglong SnoozedUntil READ snoozedUntil)
public:
    // What the methods ask of the host itself.
    struct Host
    {
        std::function<void()> showOptions;
        // Called from the event loop after the reply has gone out.
        std::function<void()> quit;
    };

    static const QString ServiceName;
    static const QString ObjectPath;
    static const QString InterfaceName;
    // The longest snooze a caller may ask for, in minutes.
    static constexpr uint MaxSnoozeMinutes = 7 * 24 * 60;

    // controller is the add-in's controller (may be null: the methods that need it fail).
    DBusService(QObject *controller, Host host, QObject *parent = nullptr);
    ~DBusService() override;

    // Claims the name and publishes the object on bus. False when it could not: without a
    // bus only the trace says so; a name already taken is warned about on stderr.
    bool start(const QDBusConnection &bus);

    int unreadCount() const;
    bool suspended() const;
    bool snoozed() const;
    // Seconds since the epoch; 0 while not snoozed.
    qlonglong snoozedUntil() const;

public Q_SLOTS:
    void Suspend();
    void Resume();
    void Snooze(uint minutes);
    void ShowOptions();
    void Quit();

Q_SIGNALS:
    void NewMessage(const QString &folder, const QString &sender, const QString &subject);

private Q_SLOTS:
    void controllerQueued(const QString &folder, const QString &sender, const QString &subject);
    // Sends PropertiesChanged for what differs from what was last told.
    void publishChanges();

private:
    void connectController();
    // False (with an error reply to a bus caller) when there is no controller.
    bool needController();
    void fail(const QString &name, const QString &message);

    struct State
    {
        int unread = 0;
        bool suspended = false;
        qlonglong snoozedUntil = 0;
    };
    State current() const;

    QPointer<QObject> m_controller;
    Host m_host;
    QDBusConnection m_bus;
    bool m_published = false;
    State m_told;
};

} // namespace lumora
