#include "platform/desktop/FreedesktopNotifications.h"

#include "platform/core/Verbose.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>
#include <QVariantMap>

namespace lumora {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString InhibitedProperty = QStringLiteral("Inhibited");
// A service that does not answer in this time is taken as missing: new mail must not
// freeze the tray behind a hung bus.
constexpr int CallTimeoutMs = 3000;

DesktopNotifications *g_installed = nullptr;

QDBusMessage call(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, Interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, CallTimeoutMs);
}

} // namespace

DesktopNotifications::~DesktopNotifications() = default;

bool DesktopNotifications::inhibited()
{
    return false;
}

DesktopNotifications &DesktopNotifications::instance()
{
    static FreedesktopNotifications real;
    return g_installed ? *g_installed : real;
}

void DesktopNotifications::setInstance(DesktopNotifications *notifications)
{
    g_installed = notifications;
}

FreedesktopNotifications::FreedesktopNotifications(QObject *parent)
    : DesktopNotifications(parent)
{
}

void FreedesktopNotifications::connectSignals()
{
    if (m_connected)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_connected = bus.isConnected();
    bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(uint, QString)));
    bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint, uint)));
}

quint32 FreedesktopNotifications::notify(const QString &summary, const QString &body, const QList<Action> &actions,
                                         int timeoutMs)
{
    connectSignals();
    if (!m_connected) {
        Verbose::line(QStringLiteral("notifications: no session bus"));
        return 0;
    }
    if (!m_capabilitiesKnown) {
        const QDBusMessage reply = call(QStringLiteral("GetCapabilities"), {});
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            m_capabilitiesKnown = true;
            m_bodyMarkup = reply.arguments().constFirst().toStringList().contains(QStringLiteral("body-markup"));
        }
    }
    QStringList actionList;
    for (const Action &action : actions)
        actionList << action.key << action.label;
    // Mail text is data: where the service reads markup, it must not be taken for any.
    const QString text = m_bodyMarkup ? body.toHtmlEscaped() : body;
    const QDBusMessage reply =
        call(QStringLiteral("Notify"),
             {QStringLiteral("Lumora"), uint(0), QStringLiteral("lumora"), summary, text, actionList,
              QVariantMap{{QStringLiteral("category"), QStringLiteral("email.arrived")},
                          {QStringLiteral("desktop-entry"), QStringLiteral("lumora")}},
              timeoutMs});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        Verbose::line(QStringLiteral("notifications: the desktop's notification service did not answer: %1")
                          .arg(reply.errorMessage()));
        return 0;
    }
    return reply.arguments().constFirst().toUInt();
}

void FreedesktopNotifications::close(quint32 id)
{
    if (id && m_connected)
        call(QStringLiteral("CloseNotification"), {uint(id)});
}

bool FreedesktopNotifications::inhibited()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!m_watchingProperties) {
        m_watchingProperties = bus.connect(Service, Path, PropertiesInterface, QStringLiteral("PropertiesChanged"),
                                           this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
    }
    askInhibited();
    return m_inhibited;
}

void FreedesktopNotifications::askInhibited()
{
    // One question at a time: a service that does not answer is not asked again and again.
    if (m_inhibitedAsked)
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, PropertiesInterface, QStringLiteral("Get"));
    message.setArguments({Interface, InhibitedProperty});
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message, CallTimeoutMs), this);
    m_inhibitedAsked = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        m_inhibitedAsked = false;
        const QDBusPendingReply<QDBusVariant> reply = *call;
        // A service without the property answers with an error: it has no do-not-disturb to honour.
        m_inhibited = !reply.isError() && reply.value().variant().toBool();
        call->deleteLater();
    });
}

void FreedesktopNotifications::onPropertiesChanged(const QString &interfaceName, const QVariantMap &changed,
                                                   const QStringList &invalidated)
{
    if (interfaceName != Interface)
        return;
    if (changed.contains(InhibitedProperty))
        m_inhibited = changed.value(InhibitedProperty).toBool();
    else if (invalidated.contains(InhibitedProperty))
        askInhibited();
}

void FreedesktopNotifications::onActionInvoked(uint id, const QString &key)
{
    Q_EMIT actionInvoked(id, key);
}

void FreedesktopNotifications::onClosed(uint id, uint)
{
    Q_EMIT closed(id);
}

} // namespace lumora
