#pragma once

#include <QDBusVirtualObject>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace lumora::test {

// The desktop's online accounts service as tests need it, answering on the bus it is
// registered on. Everything comes from files in one folder, read at each call so a test
// can change them while the service runs:
//   accounts.json   a list of objects holding the accounts' properties by their D-Bus names
//                   (Id, ProviderName, MailDisabled, ImapHost, …), plus "oauth2": true for an
//                   account that signs in with OAuth2; an account has the mail interface when
//                   one of that interface's properties is given.
//   <id>.token      what GetAccessToken returns; without it, an error reply.
//   <id>.expires    the token's lifetime in seconds (3600 when absent).
//   <id>.renewed    renamed over <id>.token by EnsureCredentials, as a refresh would.
//   <id>.refuse     EnsureCredentials answers with an error carrying this text.
//   <id>.calls      each method call of the account appends its name here.
class FakeOnlineAccountsService : public QDBusVirtualObject
{
    Q_OBJECT
public:
    explicit FakeOnlineAccountsService(const QString &dir, QObject *parent = nullptr);

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

    static QString objectPath(const QString &id);

private:
    QList<QJsonObject> accounts() const;
    QString file(const QString &id, const QString &suffix) const;
    void noteCall(const QString &id, const QString &method) const;
    QDBusMessage answer(const QDBusMessage &message, const QJsonObject &account) const;

    QString m_dir;
};

} // namespace lumora::test
