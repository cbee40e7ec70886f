#include "tests/testsupport/FakeOnlineAccountsService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QVariantMap>

namespace lumora::test {

namespace {

const QString ManagerPath = QStringLiteral("/org/gnome/OnlineAccounts");
const QString AccountsPath = QStringLiteral("/org/gnome/OnlineAccounts/Accounts/");
const QString ObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString AccountInterface = QStringLiteral("org.gnome.OnlineAccounts.Account");
const QString MailInterface = QStringLiteral("org.gnome.OnlineAccounts.Mail");
const QString OAuth2Interface = QStringLiteral("org.gnome.OnlineAccounts.OAuth2Based");

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

const QStringList AccountProperties = {QStringLiteral("Id"),           QStringLiteral("ProviderType"),
                                       QStringLiteral("ProviderName"), QStringLiteral("PresentationIdentity"),
                                       QStringLiteral("MailDisabled"), QStringLiteral("AttentionNeeded")};
const QStringList MailProperties = {QStringLiteral("EmailAddress"),       QStringLiteral("ImapSupported"),
                                    QStringLiteral("ImapHost"),           QStringLiteral("ImapUserName"),
                                    QStringLiteral("ImapUseSsl"),         QStringLiteral("ImapUseTls"),
                                    QStringLiteral("ImapAcceptSslErrors")};

QVariant busValue(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool();
    if (value.isDouble())
        return value.toInt();
    return value.toString();
}

// The account's interfaces with their properties, as GetManagedObjects lists them.
Interfaces interfacesOf(const QJsonObject &account)
{
    Interfaces interfaces;
    QVariantMap accountProperties;
    for (const QString &name : AccountProperties)
        accountProperties.insert(name, account.contains(name) ? busValue(account.value(name)) : QVariant(QString()));
    for (const QString &name : {QStringLiteral("MailDisabled"), QStringLiteral("AttentionNeeded")}) {
        if (!account.contains(name))
            accountProperties.insert(name, false);
    }
    interfaces.insert(AccountInterface, accountProperties);
    QVariantMap mail;
    for (const QString &name : MailProperties) {
        if (account.contains(name))
            mail.insert(name, busValue(account.value(name)));
    }
    if (!mail.isEmpty())
        interfaces.insert(MailInterface, mail);
    if (account.value(QLatin1String("oauth2")).toBool())
        interfaces.insert(OAuth2Interface, QVariantMap{});
    return interfaces;
}

} // namespace

FakeOnlineAccountsService::FakeOnlineAccountsService(const QString &dir, QObject *parent)
    : QDBusVirtualObject(parent)
    , m_dir(dir)
{
    qDBusRegisterMetaType<Interfaces>();
    qDBusRegisterMetaType<ManagedObjects>();
}

QString FakeOnlineAccountsService::objectPath(const QString &id)
{
    QString element = id;
    for (QChar &c : element) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80))
            c = QLatin1Char('_');
    }
    return AccountsPath + element;
}

QList<QJsonObject> FakeOnlineAccountsService::accounts() const
{
    QFile file(m_dir + QStringLiteral("/accounts.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QJsonObject> list;
    for (const QJsonValue &value : QJsonDocument::fromJson(file.readAll()).array())
        list.append(value.toObject());
    return list;
}

QString FakeOnlineAccountsService::file(const QString &id, const QString &suffix) const
{
    return m_dir + QLatin1Char('/') + id + suffix;
}

void FakeOnlineAccountsService::noteCall(const QString &id, const QString &method) const
{
    QFile calls(file(id, QStringLiteral(".calls")));
    if (calls.open(QIODevice::Append))
        calls.write(method.toUtf8() + '\n');
}

QString FakeOnlineAccountsService::introspect(const QString &path) const
{
    if (path == ManagerPath)
        return QStringLiteral("<interface name=\"org.freedesktop.DBus.ObjectManager\">"
                              "<method name=\"GetManagedObjects\">"
                              "<arg name=\"objects\" type=\"a{oa{sa{sv}}}\" direction=\"out\"/></method></interface>");
    return QStringLiteral("<interface name=\"org.gnome.OnlineAccounts.Account\">"
                          "<method name=\"EnsureCredentials\"><arg name=\"expires_in\" type=\"i\" direction=\"out\"/>"
                          "</method></interface>"
                          "<interface name=\"org.gnome.OnlineAccounts.OAuth2Based\">"
                          "<method name=\"GetAccessToken\"><arg name=\"access_token\" type=\"s\" direction=\"out\"/>"
                          "<arg name=\"expires_in\" type=\"i\" direction=\"out\"/></method></interface>");
}

bool FakeOnlineAccountsService::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    if (message.path() == ManagerPath && message.interface() == ObjectManager
        && message.member() == QLatin1String("GetManagedObjects")) {
        ManagedObjects objects;
        for (const QJsonObject &account : accounts())
            objects.insert(QDBusObjectPath(objectPath(account.value(QLatin1String("Id")).toString())),
                           interfacesOf(account));
        connection.send(message.createReply(QVariant::fromValue(objects)));
        return true;
    }
    for (const QJsonObject &account : accounts()) {
        if (objectPath(account.value(QLatin1String("Id")).toString()) == message.path()) {
            connection.send(answer(message, account));
            return true;
        }
    }
    connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                                             QStringLiteral("No such object: %1").arg(message.path())));
    return true;
}

QDBusMessage FakeOnlineAccountsService::answer(const QDBusMessage &message, const QJsonObject &account) const
{
    const QString id = account.value(QLatin1String("Id")).toString();
    const Interfaces interfaces = interfacesOf(account);
    const QString interface = message.interface();
    const QString member = message.member();
    const QVariantList arguments = message.arguments();
    if (interface == Properties && member == QLatin1String("GetAll") && arguments.size() == 1) {
        const QString of = arguments.at(0).toString();
        if (!interfaces.contains(of))
            return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"), of);
        return message.createReply(interfaces.value(of));
    }
    if (interface == Properties && member == QLatin1String("Get") && arguments.size() == 2) {
        const QVariantMap properties = interfaces.value(arguments.at(0).toString());
        const QString name = arguments.at(1).toString();
        if (!properties.contains(name))
            return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"), name);
        return message.createReply(QVariant::fromValue(QDBusVariant(properties.value(name))));
    }
    if (interfaces.contains(interface) && !member.isEmpty())
        noteCall(id, member);
    const int expiresIn = [&] {
        QFile expires(file(id, QStringLiteral(".expires")));
        bool ok = false;
        const int given = expires.open(QIODevice::ReadOnly) ? expires.readAll().trimmed().toInt(&ok) : 0;
        return ok ? given : 3600;
    }();
    if (interface == AccountInterface && member == QLatin1String("EnsureCredentials")) {
        QFile refuse(file(id, QStringLiteral(".refuse")));
        if (refuse.open(QIODevice::ReadOnly))
            return message.createErrorReply(QStringLiteral("org.gnome.OnlineAccounts.Error.NotAuthorized"),
                                            QString::fromUtf8(refuse.readAll()).trimmed());
        const QString renewed = file(id, QStringLiteral(".renewed"));
        if (QFile::exists(renewed)) {
            QFile::remove(file(id, QStringLiteral(".token")));
            QFile::rename(renewed, file(id, QStringLiteral(".token")));
        }
        return message.createReply(expiresIn);
    }
    if (interface == OAuth2Interface && member == QLatin1String("GetAccessToken")
        && interfaces.contains(OAuth2Interface)) {
        QFile token(file(id, QStringLiteral(".token")));
        if (!token.open(QIODevice::ReadOnly))
            return message.createErrorReply(QStringLiteral("org.gnome.OnlineAccounts.Error.NotAuthorized"),
                                            QStringLiteral("No credentials found in the keyring"));
        return message.createReply(QVariantList{QString::fromUtf8(token.readAll()).trimmed(), expiresIn});
    }
    return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                    QStringLiteral("No method %1.%2").arg(interface, member));
}

} // namespace lumora::test
