#include "tests/testsupport/FakeOnlineAccounts.h"

#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QSaveFile>
#include <QThread>

namespace lumora::test {

FakeOnlineAccounts::FakeOnlineAccounts()
{
    static int serial = 0;
    m_connectionName = QStringLiteral("fake-online-accounts-%1").arg(++serial);
}

FakeOnlineAccounts::~FakeOnlineAccounts()
{
    stop();
}

bool FakeOnlineAccounts::start(bool service)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString address = m_bus.start();
    if (address.isEmpty()) {
        m_error = QStringLiteral("no dbus-daemon to run a private bus");
        return false;
    }
    return !service || startService();
}

bool FakeOnlineAccounts::startService()
{
    if (m_service.state() != QProcess::NotRunning)
        return true;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
    m_service.setProcessEnvironment(environment);
    m_service.setProcessChannelMode(QProcess::SeparateChannels);
    m_service.setStandardOutputFile(QProcess::nullDevice());
    m_service.start(QStringLiteral(LUMORA_FAKE_ONLINE_ACCOUNTS), {m_dir.path()});
    if (!m_service.waitForStarted(5000)) {
        m_error = QStringLiteral("fake_online_accounts did not start: ") + m_service.errorString();
        return false;
    }
    QDBusConnectionInterface *bus = connection().interface();
    const QDeadlineTimer deadline(10000);
    while (!bus || !bus->isServiceRegistered(QStringLiteral("org.gnome.OnlineAccounts"))) {
        if (m_service.state() != QProcess::Running || deadline.hasExpired()) {
            m_error = QStringLiteral("fake_online_accounts never owned its name: ") + log();
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

void FakeOnlineAccounts::stopService()
{
    if (m_service.state() == QProcess::NotRunning)
        return;
    m_service.kill();
    m_service.waitForFinished(5000);
    // Gone from the bus too before the caller looks again.
    QDBusConnectionInterface *bus = connection().interface();
    const QDeadlineTimer deadline(5000);
    while (bus && bus->isServiceRegistered(QStringLiteral("org.gnome.OnlineAccounts")) && !deadline.hasExpired())
        QThread::msleep(10);
}

void FakeOnlineAccounts::stop()
{
    stopService();
    QDBusConnection::disconnectFromBus(m_connectionName);
    m_bus.stop();
}

QDBusConnection FakeOnlineAccounts::connection()
{
    return QDBusConnection::connectToBus(m_bus.address(), m_connectionName);
}

QString FakeOnlineAccounts::log()
{
    m_log += m_service.readAllStandardError();
    return QString::fromUtf8(m_log);
}

bool FakeOnlineAccounts::write(const QString &name, const QByteArray &content)
{
    // Whole or not at all: the service may read it at any moment.
    QSaveFile file(m_dir.path() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write ") + file.fileName();
        return false;
    }
    return true;
}

bool FakeOnlineAccounts::setAccounts(const QJsonArray &accounts)
{
    return write(QStringLiteral("accounts.json"), QJsonDocument(accounts).toJson());
}

bool FakeOnlineAccounts::setToken(const QString &id, const QByteArray &token, int expiresIn)
{
    if (expiresIn < 0)
        QFile::remove(m_dir.path() + QLatin1Char('/') + id + QStringLiteral(".expires"));
    else if (!write(id + QStringLiteral(".expires"), QByteArray::number(expiresIn)))
        return false;
    return write(id + QStringLiteral(".token"), token);
}

bool FakeOnlineAccounts::setRenewed(const QString &id, const QByteArray &token)
{
    return write(id + QStringLiteral(".renewed"), token);
}

bool FakeOnlineAccounts::setRefusal(const QString &id, const QString &text)
{
    return write(id + QStringLiteral(".refuse"), text.toUtf8());
}

void FakeOnlineAccounts::removeToken(const QString &id)
{
    QFile::remove(m_dir.path() + QLatin1Char('/') + id + QStringLiteral(".token"));
}

QStringList FakeOnlineAccounts::calls(const QString &id) const
{
    QFile file(m_dir.path() + QLatin1Char('/') + id + QStringLiteral(".calls"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace lumora::test
