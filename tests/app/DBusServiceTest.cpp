// The session-bus interface over a real, private bus: a client on a connection of its own
// calls the methods, reads the properties and hears the signals, with a stand-in controller
// and host behind the service.
#include "app/DBusService.h"

#include "platform/core/MailText.h"
#include "tests/app/LumoraProcess.h"
#include "tests/testsupport/HostileText.h"
#include "tests/testsupport/PrivateBus.h"
#include "tests/testsupport/TraceCapture.h"
#include "tests/testsupport/VirtualClock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::PrivateBus;

namespace {

const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

// The members of one interface in introspection XML, one line each: kind, name and the
// name, type and direction of every argument or the property's type and access.
QStringList membersOf(const QByteArray &xml, const QString &interface)
{
    QStringList members;
    QXmlStreamReader reader(xml);
    bool inside = false;
    QString member;
    while (!reader.atEnd()) {
        reader.readNext();
        const QString name = reader.name().toString();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.isStartElement() && name == QLatin1String("interface")) {
            inside = attributes.value(QLatin1String("name")) == interface;
        } else if (reader.isEndElement() && name == QLatin1String("interface")) {
            inside = false;
        } else if (!inside) {
            continue;
        } else if (reader.isStartElement() && (name == QLatin1String("method") || name == QLatin1String("signal"))) {
            member = name + QLatin1Char(' ') + attributes.value(QLatin1String("name")).toString();
        } else if (reader.isStartElement() && name == QLatin1String("arg")) {
            // A signal's arguments are outgoing whether or not the file says so.
            const QString direction = member.startsWith(QLatin1String("signal"))
                ? QStringLiteral("out")
                : attributes.value(QLatin1String("direction")).toString();
            member += QStringLiteral(" %1:%2:%3")
                          .arg(attributes.value(QLatin1String("name")).toString(),
                               attributes.value(QLatin1String("type")).toString(),
                               direction.isEmpty() ? QStringLiteral("in") : direction);
        } else if (reader.isEndElement() && (name == QLatin1String("method") || name == QLatin1String("signal"))) {
            members << member;
        } else if (reader.isStartElement() && name == QLatin1String("property")) {
            members << QStringLiteral("property %1 %2 %3")
                           .arg(attributes.value(QLatin1String("name")).toString(),
                                attributes.value(QLatin1String("type")).toString(),
                                attributes.value(QLatin1String("access")).toString());
        }
    }
    members.sort();
    return members;
}

// Has what the service reaches on the add-in's controller, by the same names.
class Controller : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(int UnreadCount READ unreadCount)
    Q_PROPERTY(QDateTime SnoozedUntil READ snoozedUntil)
public:
    bool on = true;
    int unread = 0;
    QDateTime until;
    int snoozeCalls = 0;

    bool enabled() const { return on; }
    void setEnabled(bool value)
    {
        on = value;
        Q_EMIT QuietStateChanged();
    }
    int unreadCount() const { return unread; }
    QDateTime snoozedUntil() const { return until; }
    // As a controller not attached to the mail host, which keeps no snooze.
    bool keepsNoSnooze = false;

    Q_INVOKABLE void Snooze(const QDateTime &value)
    {
        ++snoozeCalls;
        if (keepsNoSnooze)
            return;
        until = value;
        Q_EMIT QuietStateChanged();
    }

Q_SIGNALS:
    void MessageQueued(const QString &folder, const QString &sender, const QString &subject);
    void UnreadCountChanged(int count);
    void QuietStateChanged();
};

// Keeps every signal the client's connection delivers to it.
class Listener : public QObject
{
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
public Q_SLOTS:
    void take(const QDBusMessage &message) { messages.append(message); }
};

class DBusServiceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_bus = new PrivateBus;
        s_address = s_bus->start();
    }
    static void TearDownTestSuite()
    {
        delete s_bus;
        s_bus = nullptr;
    }

    void SetUp() override
    {
        if (s_address.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
    }
    void TearDown() override
    {
        m_service.reset();
        for (const QString &name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
    }

    QDBusConnection connection(const QString &name)
    {
        m_connections << name;
        return QDBusConnection::connectToBus(s_address, name);
    }

    // The service on a connection of its own, as the running Lumora is another process.
    bool startService(QObject *controller)
    {
        m_service = std::make_unique<DBusService>(
            controller, DBusService::Host{[this] { ++m_optionsShown; }, [this] { ++m_quits; }});
        return m_service->start(connection(QStringLiteral("service")));
    }

    // Calls without blocking the thread the service answers on.
    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(DBusService::ServiceName, DBusService::ObjectPath, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = connection(QStringLiteral("client")).asyncCall(message);
        EXPECT_TRUE(QTest::qWaitFor([&pending] { return pending.isFinished(); }, 5000)) << method.toStdString();
        return pending.reply();
    }
    QDBusMessage callService(const QString &method, const QVariantList &arguments = {})
    {
        return call(DBusService::InterfaceName, method, arguments);
    }
    QVariant property(const QString &name)
    {
        const QDBusMessage reply = call(Properties, QStringLiteral("Get"), {DBusService::InterfaceName, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().at(0).value<QDBusVariant>().variant();
    }
    void listen(Listener &listener, const QString &interface, const QString &name)
    {
        ASSERT_TRUE(connection(QStringLiteral("client"))
                        .connect(DBusService::ServiceName, DBusService::ObjectPath, interface, name, &listener,
                                 SLOT(take(QDBusMessage))));
    }

    static PrivateBus *s_bus;
    static QString s_address;
    QStringList m_connections;
    std::unique_ptr<DBusService> m_service;
    int m_optionsShown = 0;
    int m_quits = 0;
};

PrivateBus *DBusServiceTest::s_bus = nullptr;
QString DBusServiceTest::s_address;

} // namespace

TEST_F(DBusServiceTest, MethodsActOnTheControllerAndTheHost)
{
    VirtualClockScope time;
    Controller controller;
    ASSERT_TRUE(startService(&controller));

    EXPECT_EQ(callService(QStringLiteral("Suspend")).type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(controller.on);
    EXPECT_EQ(property(QStringLiteral("Suspended")), QVariant(true));

    EXPECT_EQ(callService(QStringLiteral("Snooze"), {uint(15)}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(controller.until, time.clock.now().addSecs(15 * 60));
    EXPECT_EQ(property(QStringLiteral("Snoozed")), QVariant(true));
    EXPECT_EQ(property(QStringLiteral("SnoozedUntil")), QVariant(controller.until.toSecsSinceEpoch()));

    // Resume ends both ways of keeping quiet.
    EXPECT_EQ(callService(QStringLiteral("Resume")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(controller.on);
    EXPECT_FALSE(controller.until.isValid());
    EXPECT_EQ(property(QStringLiteral("Suspended")), QVariant(false));
    EXPECT_EQ(property(QStringLiteral("SnoozedUntil")), QVariant(qlonglong(0)));

    EXPECT_EQ(callService(QStringLiteral("ShowOptions")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_optionsShown, 1);
    // The quit comes after the reply, from the event loop.
    EXPECT_EQ(callService(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(QTest::qWaitFor([this] { return m_quits == 1; }, 5000));
}

TEST_F(DBusServiceTest, SnoozeOutsideOneMinuteToAWeekIsRefused)
{
    VirtualClockScope time;
    Controller controller;
    ASSERT_TRUE(startService(&controller));
    for (const uint minutes : {0u, DBusService::MaxSnoozeMinutes + 1, 0xFFFFFFFFu}) {
        const QDBusMessage reply = callService(QStringLiteral("Snooze"), {minutes});
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << minutes;
        EXPECT_EQ(reply.errorName(), QDBusError::errorString(QDBusError::InvalidArgs)) << minutes;
    }
    EXPECT_EQ(controller.snoozeCalls, 0);
    EXPECT_EQ(callService(QStringLiteral("Snooze"), {DBusService::MaxSnoozeMinutes}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(controller.until, time.clock.now().addSecs(qint64(DBusService::MaxSnoozeMinutes) * 60));
}

// A snooze the controller did not take is an error, never a quiet success.
TEST_F(DBusServiceTest, ASnoozeNotTakenIsAnError)
{
    Controller controller;
    controller.keepsNoSnooze = true;
    ASSERT_TRUE(startService(&controller));
    const QDBusMessage reply = callService(QStringLiteral("Snooze"), {uint(15)});
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QStringLiteral("org.lumora.Lumora.Error.Failed"));
    EXPECT_EQ(controller.snoozeCalls, 1);
}

// Without the add-in nothing is suspended or snoozed, and the caller is told so.
TEST_F(DBusServiceTest, WithoutAControllerTheCallsFail)
{
    ASSERT_TRUE(startService(nullptr));
    for (const auto &[method, arguments] : QList<QPair<QString, QVariantList>>{
             {QStringLiteral("Suspend"), {}}, {QStringLiteral("Resume"), {}}, {QStringLiteral("Snooze"), {uint(15)}}}) {
        const QDBusMessage reply = callService(method, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage) << method.toStdString();
        EXPECT_EQ(reply.errorName(), QStringLiteral("org.lumora.Lumora.Error.NoAddIn")) << method.toStdString();
    }
    EXPECT_EQ(callService(QStringLiteral("ShowOptions")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(m_optionsShown, 1);
}

TEST_F(DBusServiceTest, PropertyChangesAreSignalledOnce)
{
    Controller controller;
    controller.unread = 3;
    ASSERT_TRUE(startService(&controller));
    EXPECT_EQ(property(QStringLiteral("UnreadCount")), QVariant(3));

    Listener listener;
    listen(listener, Properties, QStringLiteral("PropertiesChanged"));
    controller.unread = 7;
    Q_EMIT controller.UnreadCountChanged(7);
    // Told again with no change: nothing new goes out.
    Q_EMIT controller.UnreadCountChanged(7);
    controller.setEnabled(false);
    ASSERT_TRUE(QTest::qWaitFor([&listener] { return listener.messages.size() >= 2; }, 5000));

    const QVariantList first = listener.messages.at(0).arguments();
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first.at(0).toString(), DBusService::InterfaceName);
    EXPECT_EQ(qdbus_cast<QVariantMap>(first.at(1)), (QVariantMap{{QStringLiteral("UnreadCount"), 7}}));
    const QVariantList second = listener.messages.at(1).arguments();
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(qdbus_cast<QVariantMap>(second.at(1)), (QVariantMap{{QStringLiteral("Suspended"), true}}));
    EXPECT_EQ(property(QStringLiteral("UnreadCount")), QVariant(7));
    EXPECT_EQ(listener.messages.size(), 2);
}

TEST_F(DBusServiceTest, QueuedMessagesAreSignalledWithTheirTextCleaned)
{
    Controller controller;
    ASSERT_TRUE(startService(&controller));
    Listener listener;
    listen(listener, DBusService::InterfaceName, QStringLiteral("NewMessage"));
    const QList<test::HostileRow> rows = test::hostileRows();
    for (const test::HostileRow &row : rows)
        Q_EMIT controller.MessageQueued(QStringLiteral("Inbox ") + row.text, row.text, row.text);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listener.messages.size() == rows.size(); }, 5000));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QVariantList arguments = listener.messages.at(i).arguments();
        ASSERT_EQ(arguments.size(), 3) << rows[i].name;
        EXPECT_EQ(arguments.at(0).toString(), MailText::forDisplay(QStringLiteral("Inbox ") + rows[i].text))
            << rows[i].name;
        EXPECT_EQ(arguments.at(1).toString(), rows[i].shown) << rows[i].name;
        EXPECT_EQ(arguments.at(2).toString(), rows[i].shown) << rows[i].name;
    }
}

// The file installed for tools and clients describes what the running service offers.
TEST_F(DBusServiceTest, TheInstalledIntrospectionMatchesTheService)
{
    Controller controller;
    ASSERT_TRUE(startService(&controller));
    const QDBusMessage reply =
        call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    const QStringList live = membersOf(reply.arguments().value(0).toString().toUtf8(), DBusService::InterfaceName);
    QFile file(QStringLiteral(LUMORA_DBUS_XML));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList documented = membersOf(file.readAll(), DBusService::InterfaceName);
    EXPECT_EQ(documented.size(), 10);
    EXPECT_EQ(documented, live) << live.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DBusServiceTest, ANameTakenIsSaidOnceAndTheOwnerKeepsIt)
{
    QDBusConnection other = connection(QStringLiteral("other"));
    ASSERT_TRUE(other.registerService(DBusService::ServiceName));
    Controller controller;
    test::TraceCapture trace;
    EXPECT_FALSE(startService(&controller));
    EXPECT_EQ(trace.count(QRegularExpression(QStringLiteral("^warning: the D-Bus name org\\.lumora\\.Lumora "
                                                            "cannot be had"))),
              1);
    EXPECT_EQ(connection(QStringLiteral("client")).interface()->serviceOwner(DBusService::ServiceName).value(),
              other.baseService());
    // Nothing of ours answers at the path on the service's connection either.
    EXPECT_FALSE(QDBusConnection(QStringLiteral("service")).objectRegisteredAt(DBusService::ObjectPath));
}

TEST_F(DBusServiceTest, WithoutABusOnlyTheTraceSpeaks)
{
    Controller controller;
    test::TraceCapture trace;
    m_service = std::make_unique<DBusService>(&controller, DBusService::Host{});
    m_connections << QStringLiteral("nobus");
    EXPECT_FALSE(m_service->start(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nobus"))));
    EXPECT_EQ(trace.count(QRegularExpression(QStringLiteral("^warning:"))), 0);
    EXPECT_EQ(trace.count(QRegularExpression(QStringLiteral("no session bus"))), 1);
}

// The real executable, on the private bus: its demo mail is signalled, the methods act on
// it, and Quit ends it as --quit does.
TEST_F(DBusServiceTest, TheRunningLumoraAnswersOnTheBus)
{
    Listener listener;
    listen(listener, DBusService::InterfaceName, QStringLiteral("NewMessage"));
    test::LumoraProcess lumora({QStringLiteral("--verbose"), QStringLiteral("--demo")},
                               {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + s_address});
    const auto trace = [&lumora] { return lumora.lines().join(QLatin1Char('\n')).toStdString(); };
    ASSERT_GE(
        lumora.waitForLine(QRegularExpression(QStringLiteral("^lumora: D-Bus: org\\.lumora\\.Lumora at ")), 20000), 0)
        << trace();
    ASSERT_TRUE(QTest::qWaitFor([&listener] { return listener.messages.size() >= 3; }, 30000)) << trace();
    EXPECT_EQ(listener.messages.at(0).arguments().size(), 3);
    EXPECT_EQ(property(QStringLiteral("Suspended")), QVariant(false));

    EXPECT_EQ(callService(QStringLiteral("Suspend")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(property(QStringLiteral("Suspended")), QVariant(true));
    EXPECT_EQ(callService(QStringLiteral("Snooze"), {uint(30)}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(property(QStringLiteral("Snoozed")), QVariant(true));
    EXPECT_EQ(callService(QStringLiteral("Resume")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(property(QStringLiteral("Snoozed")), QVariant(false));
    EXPECT_EQ(property(QStringLiteral("Suspended")), QVariant(false));

    EXPECT_EQ(callService(QStringLiteral("ShowOptions")).type(), QDBusMessage::ReplyMessage);
    EXPECT_GE(lumora.waitForLine(QRegularExpression(QStringLiteral("^lumora: options: dialog opened")), 10000), 0)
        << trace();
    EXPECT_EQ(callService(QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(lumora.waitForExit(15000), 0) << trace();
}

#include "DBusServiceTest.moc"
