// The notification service client over a real, private session bus, with a stand-in server
// on its own connection and thread: what reaches the server, escaping where it reads
// markup, and the server's signals coming back as the client's.
#include "platform/desktop/DesktopNotifications.h"

#include "platform/core/MailText.h"
#include "tests/testsupport/HostileText.h"
#include "tests/testsupport/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <atomic>

using namespace lumora;
using lumora::test::PrivateBus;

namespace {

const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

// Answers the calls a notification server answers and records them.
class Server : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited READ isInhibited)
public:
    std::atomic<bool> inhibited = false;
    bool isInhibited() const { return inhibited; }
    QStringList capabilities;
    QMutex mutex;
    QStringList bodies;
    QStringList actions;
    QList<int> timeouts;
    QList<uint> closedIds;

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &body,
                const QStringList &actionList, const QVariantMap &, int timeout)
    {
        QMutexLocker lock(&mutex);
        bodies << body;
        actions = actionList;
        timeouts << timeout;
        return uint(bodies.size());
    }
    void CloseNotification(uint id)
    {
        {
            QMutexLocker lock(&mutex);
            closedIds << id;
        }
        emitSignal(QStringLiteral("NotificationClosed"), {id, uint(3)});
    }
    void invoke(uint id, const QString &key) { emitSignal(QStringLiteral("ActionInvoked"), {id, key}); }
    void setInhibited(bool on)
    {
        inhibited = on;
        QDBusMessage signal = QDBusMessage::createSignal(Path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("PropertiesChanged"));
        signal.setArguments({Interface, QVariantMap{{QStringLiteral("Inhibited"), on}}, QStringList()});
        QDBusConnection(QStringLiteral("server")).send(signal);
    }

private:
    void emitSignal(const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(Path, Interface, name);
        signal.setArguments(arguments);
        QDBusConnection(QStringLiteral("server")).send(signal);
    }
};

class RealBus : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_bus = new PrivateBus;
        s_address = s_bus->start();
        // Before anything asks for the session bus, which is then this private one.
        if (!s_address.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", s_address.toUtf8());
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

    // Starts the stand-in server on its own thread, as a real server is another process.
    void startServer(const QStringList &capabilities)
    {
        m_thread.start();
        m_server.capabilities = capabilities;
        m_server.moveToThread(&m_thread);
        bool registered = false;
        QMetaObject::invokeMethod(
            &m_server,
            [this, &registered] {
                QDBusConnection bus = QDBusConnection::connectToBus(s_address, QStringLiteral("server"));
                registered = bus.registerObject(Path, &m_server,
                                                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
                    && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
            },
            Qt::BlockingQueuedConnection);
        ASSERT_TRUE(registered);
    }

    void TearDown() override
    {
        if (!m_thread.isRunning())
            return;
        QMetaObject::invokeMethod(
            &m_server,
            [] {
                QDBusConnection(QStringLiteral("server"))
                    .unregisterService(QStringLiteral("org.freedesktop.Notifications"));
                QDBusConnection::disconnectFromBus(QStringLiteral("server"));
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    static PrivateBus *s_bus;
    static QString s_address;
    QThread m_thread;
    Server m_server;
};

PrivateBus *RealBus::s_bus = nullptr;
QString RealBus::s_address;

} // namespace

TEST_F(RealBus, WithoutAServiceNothingIsClaimedShown)
{
    EXPECT_EQ(DesktopNotifications::instance().notify(QStringLiteral("New mail: 1 of 1"), QStringLiteral("x"), {}, 100),
              0u);
    EXPECT_FALSE(DesktopNotifications::instance().inhibited());
}

// Do-not-disturb is learnt without waiting for the bus: the first answer comes later, and
// the server's change signal keeps it current.
TEST_F(RealBus, TheServersDoNotDisturbIsFollowed)
{
    m_server.inhibited = true;
    startServer({QStringLiteral("body")});
    DesktopNotifications &client = DesktopNotifications::instance();
    EXPECT_TRUE(QTest::qWaitFor([&client] { return client.inhibited(); }, 5000));
    QMetaObject::invokeMethod(&m_server, [this] { m_server.setInhibited(false); });
    EXPECT_TRUE(QTest::qWaitFor([&client] { return !client.inhibited(); }, 5000));
}

TEST_F(RealBus, NotificationsReachTheServerAndItsSignalsComeBack)
{
    startServer({QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")});
    DesktopNotifications &client = DesktopNotifications::instance();
    QSignalSpy actions(&client, &DesktopNotifications::actionInvoked);
    QSignalSpy closed(&client, &DesktopNotifications::closed);

    const quint32 id =
        client.notify(QStringLiteral("New mail: 1 of 2"), QStringLiteral("Subject: <b>Tom</b> & \"Jerry\""),
                      {{QStringLiteral("open"), QStringLiteral("Open")}}, 4000);
    ASSERT_NE(id, 0u);
    {
        QMutexLocker lock(&m_server.mutex);
        ASSERT_EQ(m_server.bodies.size(), 1);
        // A server that reads markup must show the subject as typed, not bold it.
        EXPECT_EQ(m_server.bodies[0], QStringLiteral("Subject: &lt;b&gt;Tom&lt;/b&gt; &amp; &quot;Jerry&quot;"));
        EXPECT_EQ(m_server.actions, QStringList({QStringLiteral("open"), QStringLiteral("Open")}));
        EXPECT_EQ(m_server.timeouts, QList<int>({4000}));
    }

    QMetaObject::invokeMethod(&m_server, [this, id] { m_server.invoke(id, QStringLiteral("open")); });
    ASSERT_TRUE(actions.wait(5000));
    EXPECT_EQ(actions[0][0].toUInt(), id);
    EXPECT_EQ(actions[0][1].toString(), QStringLiteral("open"));

    client.close(id);
    ASSERT_TRUE(closed.count() > 0 || closed.wait(5000));
    EXPECT_EQ(closed[0][0].toUInt(), id);
}

// The hostile rows as the presenter sends them, through the bus: a server that reads markup
// gets every "<" and "&" escaped, and nothing else is changed on the way.
TEST_F(RealBus, HostileTextArrivesCleanedAndEscapedForMarkup)
{
    startServer({QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")});
    DesktopNotifications &client = DesktopNotifications::instance();
    const QList<lumora::test::HostileRow> rows = lumora::test::hostileRows();
    for (const lumora::test::HostileRow &row : rows)
        ASSERT_NE(client.notify(QStringLiteral("New mail: 1 of 1"), MailText::forDisplay(row.text), {}, 100), 0u)
            << row.name;
    QMutexLocker lock(&m_server.mutex);
    ASSERT_EQ(m_server.bodies.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(m_server.bodies[i], rows[i].shown.toHtmlEscaped()) << rows[i].name;
        EXPECT_FALSE(m_server.bodies[i].contains(QLatin1Char('<'))) << rows[i].name;
        EXPECT_TRUE(lumora::test::holdsNothingHostile(m_server.bodies[i])) << rows[i].name;
    }
}

#include "FreedesktopNotificationsTest.moc"
