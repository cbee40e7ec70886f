// fake_online_accounts FOLDER: serves the online accounts described in FOLDER on the session
// bus DBUS_SESSION_BUS_ADDRESS names, until it is killed or its parent goes away.
#include "tests/testsupport/FakeOnlineAccountsService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fake_online_accounts FOLDER\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake_online_accounts: no session bus: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    lumora::test::FakeOnlineAccountsService service(QString::fromLocal8Bit(argv[1]));
    if (!bus.registerVirtualObject(QStringLiteral("/org/gnome/OnlineAccounts"), &service, QDBusConnection::SubPath)) {
        std::fprintf(stderr, "fake_online_accounts: cannot register the objects\n");
        return 1;
    }
    // The name last: a client that sees it owned finds the objects in place.
    if (!bus.registerService(QStringLiteral("org.gnome.OnlineAccounts"))) {
        std::fprintf(stderr, "fake_online_accounts: cannot own the name: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    // A test that dies without stopping us must not leave us behind.
    const pid_t parent = getppid();
    QTimer orphaned;
    QObject::connect(&orphaned, &QTimer::timeout, &app, [parent] {
        if (getppid() != parent)
            QCoreApplication::quit();
    });
    orphaned.start(500);
    return app.exec();
}
