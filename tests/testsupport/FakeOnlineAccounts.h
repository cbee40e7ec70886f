#pragma once

#include "tests/testsupport/PrivateBus.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QJsonArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace lumora::test {

// A private session bus with the fake online accounts service (fake_online_accounts) on
// it, run as a child process since clients block on its replies. The accounts and their
// tokens are files in folder(); see FakeOnlineAccountsService for what each one does.
class FakeOnlineAccounts
{
public:
    FakeOnlineAccounts();
    ~FakeOnlineAccounts();

    // Starts the bus and, with service, the fake on it, and waits until it owns its name.
    // False with errorText().
    bool start(bool service = true);
    // The service alone, on the bus start() made: it can come and go while the bus stays.
    bool startService();
    void stopService();
    void stop();
    QString busAddress() const { return m_bus.address(); }

    // A client connection to the private bus, closed with this object.
    QDBusConnection connection();
    QString folder() const { return m_dir.path(); }

    bool setAccounts(const QJsonArray &accounts);
    // expiresIn < 0: the service's default lifetime.
    bool setToken(const QString &id, const QByteArray &token, int expiresIn = -1);
    bool setRenewed(const QString &id, const QByteArray &token);
    bool setRefusal(const QString &id, const QString &text);
    void removeToken(const QString &id);
    // The account's method calls so far, by name, oldest first.
    QStringList calls(const QString &id) const;
    int callCount(const QString &id, const QString &method) const { return int(calls(id).count(method)); }

    QString errorText() const { return m_error; }
    // What the fake wrote to stderr.
    QString log();

private:
    bool write(const QString &name, const QByteArray &content);

    QTemporaryDir m_dir;
    PrivateBus m_bus;
    QProcess m_service;
    QString m_connectionName;
    QString m_error;
    QByteArray m_log;
};

} // namespace lumora::test
