#include "app/DBusService.h"

#include "platform/core/Clock.h"
#include "platform/core/MailText.h"
#include "platform/core/Verbose.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDateTime>
#include <QMetaMethod>
#include <QVariantMap>

namespace lumora {

const QString DBusService::ServiceName = QStringLiteral("org.lumora.Lumora");
const QString DBusService::ObjectPath = QStringLiteral("/org/lumora/Lumora");
const QString DBusService::InterfaceName = QStringLiteral("org.lumora.Lumora");

namespace {

const QString kNoAddIn = QStringLiteral("org.lumora.Lumora.Error.NoAddIn");
const QString kFailed = QStringLiteral("org.lumora.Lumora.Error.Failed");

// Connects a signal the controller may or may not have; the trace says when it has not,
// so a changed controller shows as a missing feature, not as silence.
void connectByName(QObject *sender, const char *signal, QObject *receiver, const char *slot)
{
    const QMetaObject *from = sender->metaObject();
    const QMetaObject *to = receiver->metaObject();
    const QMetaMethod signalMethod = from->method(from->indexOfSignal(signal));
    const QMetaMethod slotMethod = to->method(to->indexOfSlot(slot));
    if (!signalMethod.isValid() || !slotMethod.isValid()
        || !QObject::connect(sender, signalMethod, receiver, slotMethod))
        Verbose::line(QStringLiteral("D-Bus: the controller has no signal %1").arg(QLatin1String(signal)));
}

} // namespace

DBusService::DBusService(QObject *controller, Host host, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_host(std::move(host))
    , m_bus(QString())
{
    if (m_controller)
        connectController();
    m_told = current();
}

DBusService::~DBusService()
{
    if (!m_published)
        return;
    m_bus.unregisterObject(ObjectPath);
    m_bus.unregisterService(ServiceName);
}

void DBusService::connectController()
{
    connectByName(m_controller, "MessageQueued(QString,QString,QString)", this,
                  "controllerQueued(QString,QString,QString)");
    connectByName(m_controller, "UnreadCountChanged(int)", this, "publishChanges()");
    connectByName(m_controller, "QuietStateChanged()", this, "publishChanges()");
}

bool DBusService::start(const QDBusConnection &bus)
{
    if (m_published)
        return true;
    m_bus = bus;
    if (!m_bus.isConnected()) {
        Verbose::line(QStringLiteral("D-Bus: no session bus (%1); going on without the D-Bus interface")
                          .arg(m_bus.lastError().message()));
        return false;
    }
    // The object first, so whoever sees the name appear finds it there.
    if (!m_bus.registerObject(ObjectPath, this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                                  | QDBusConnection::ExportAllProperties)) {
        Verbose::warning(tr("the D-Bus object %1 could not be published; going on without "
                            "the D-Bus interface.")
                             .arg(ObjectPath));
        return false;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> claimed = m_bus.interface()->registerService(
        ServiceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!claimed.isValid() || claimed.value() != QDBusConnectionInterface::ServiceRegistered) {
        m_bus.unregisterObject(ObjectPath);
        const QString why =
            claimed.isValid() ? tr("it is taken, by another Lumora or another program") : claimed.error().message();
        Verbose::warning(tr("the D-Bus name %1 cannot be had (%2); going on without the D-Bus "
                            "interface.")
                             .arg(ServiceName, why));
        return false;
    }
    m_published = true;
    m_told = current();
    Verbose::line(QStringLiteral("D-Bus: %1 at %2").arg(ServiceName, ObjectPath));
    return true;
}

DBusService::State DBusService::current() const
{
    State state;
    if (!m_controller)
        return state;
    state.unread = qMax(0, m_controller->property("UnreadCount").toInt());
    state.suspended = !m_controller->property("Enabled").toBool();
    const QDateTime until = m_controller->property("SnoozedUntil").toDateTime();
    state.snoozedUntil = until.isValid() ? until.toSecsSinceEpoch() : 0;
    return state;
}

int DBusService::unreadCount() const
{
    return current().unread;
}

bool DBusService::suspended() const
{
    return current().suspended;
}

bool DBusService::snoozed() const
{
    return current().snoozedUntil != 0;
}

qlonglong DBusService::snoozedUntil() const
{
    return current().snoozedUntil;
}

void DBusService::fail(const QString &name, const QString &message)
{
    if (calledFromDBus())
        sendErrorReply(name, message);
    else
        Verbose::warning(message);
}

bool DBusService::needController()
{
    if (m_controller)
        return true;
    fail(kNoAddIn, QStringLiteral("Lumora runs without its add-in: nothing to suspend, resume or snooze"));
    return false;
}

void DBusService::Suspend()
{
    if (!needController())
        return;
    m_controller->setProperty("Enabled", false);
    publishChanges();
    if (!current().suspended)
        fail(kFailed, QStringLiteral("the add-in did not suspend"));
}

void DBusService::Resume()
{
    if (!needController())
        return;
    m_controller->setProperty("Enabled", true);
    // An invalid time ends a snooze at once.
    if (current().snoozedUntil != 0)
        QMetaObject::invokeMethod(m_controller, "Snooze", Q_ARG(QDateTime, QDateTime()));
    publishChanges();
    if (m_told.suspended || m_told.snoozedUntil != 0)
        fail(kFailed, QStringLiteral("the add-in did not resume"));
}

void DBusService::Snooze(uint minutes)
{
    if (minutes < 1 || minutes > MaxSnoozeMinutes) {
        fail(QDBusError::errorString(QDBusError::InvalidArgs),
             QStringLiteral("Snooze takes 1 to %1 minutes, not %2").arg(MaxSnoozeMinutes).arg(minutes));
        return;
    }
    if (!needController())
        return;
    const QDateTime until = Clock::instance().now().addSecs(qint64(minutes) * 60);
    if (!QMetaObject::invokeMethod(m_controller, "Snooze", Q_ARG(QDateTime, until))) {
        fail(kNoAddIn, QStringLiteral("the add-in cannot snooze"));
        return;
    }
    publishChanges();
    // A controller not attached to the mail host keeps no snooze.
    if (m_told.snoozedUntil == 0)
        fail(kFailed, QStringLiteral("the add-in did not snooze (it is not attached to the mail host)"));
}

void DBusService::ShowOptions()
{
    if (m_host.showOptions)
        m_host.showOptions();
}

void DBusService::Quit()
{
    // Queued: the caller gets its reply before the loops end.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_host.quit)
                m_host.quit();
        },
        Qt::QueuedConnection);
}

void DBusService::controllerQueued(const QString &folder, const QString &sender, const QString &subject)
{
    Q_EMIT NewMessage(MailText::forDisplay(folder), MailText::forDisplay(sender), MailText::forDisplay(subject));
}

void DBusService::publishChanges()
{
    const State now = current();
    QVariantMap changed;
    if (now.unread != m_told.unread)
        changed.insert(QStringLiteral("UnreadCount"), now.unread);
    if (now.suspended != m_told.suspended)
        changed.insert(QStringLiteral("Suspended"), now.suspended);
    if (now.snoozedUntil != m_told.snoozedUntil) {
        changed.insert(QStringLiteral("SnoozedUntil"), now.snoozedUntil);
        if ((now.snoozedUntil != 0) != (m_told.snoozedUntil != 0))
            changed.insert(QStringLiteral("Snoozed"), now.snoozedUntil != 0);
    }
    m_told = now;
    if (!m_published || changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal.setArguments({InterfaceName, changed, QStringList()});
    m_bus.send(signal);
}

} // namespace lumora
