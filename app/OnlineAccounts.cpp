#include "app/OnlineAccounts.h"

#include "platform/core/Clock.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QMap>
#include <QVariantMap>

#include <algorithm>
#include <optional>
#include <utility>

namespace lumora {

const QString OnlineAccounts::ServiceName = QStringLiteral("org.gnome.OnlineAccounts");
const QString OnlineAccounts::ManagerPath = QStringLiteral("/org/gnome/OnlineAccounts");

namespace {

const QString AccountInterface = QStringLiteral("org.gnome.OnlineAccounts.Account");
const QString MailInterface = QStringLiteral("org.gnome.OnlineAccounts.Mail");
const QString OAuth2Interface = QStringLiteral("org.gnome.OnlineAccounts.OAuth2Based");

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;

// The service's values are taken only with the type the interface gives them: a wrong one
// counts as absent.
QString text(const QVariantMap &properties, const QString &name)
{
    const QVariant value = properties.value(name);
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

bool flag(const QVariantMap &properties, const QString &name)
{
    const QVariant value = properties.value(name);
    return value.metaType() == QMetaType::fromType<bool>() && value.toBool();
}

// "host", "host:port" or "[v6 address]:port"; a bare v6 address has no port.
void splitHostPort(const QString &hostPort, QString *host, quint16 *port)
{
    const QString h = hostPort.trimmed();
    QString rest;
    if (h.startsWith(QLatin1Char('['))) {
        const qsizetype end = h.indexOf(QLatin1Char(']'));
        if (end < 0) {
            *host = h;
            return;
        }
        *host = h.mid(1, end - 1);
        rest = h.mid(end + 1);
    } else if (h.count(QLatin1Char(':')) == 1) {
        *host = h.section(QLatin1Char(':'), 0, 0);
        rest = h.mid(host->size());
    } else {
        *host = h;
    }
    if (!rest.startsWith(QLatin1Char(':')))
        return;
    bool ok = false;
    const ushort given = rest.mid(1).toUShort(&ok);
    if (ok && given > 0)
        *port = given;
}

std::optional<OnlineAccounts::Account> mailAccount(const Interfaces &interfaces)
{
    if (!interfaces.contains(AccountInterface) || !interfaces.contains(MailInterface)
        || !interfaces.contains(OAuth2Interface))
        return {};
    const QVariantMap account = interfaces.value(AccountInterface);
    const QVariantMap mail = interfaces.value(MailInterface);
    if (!flag(mail, QStringLiteral("ImapSupported")) || flag(account, QStringLiteral("MailDisabled")))
        return {};
    OnlineAccounts::Account a;
    a.id = text(account, QStringLiteral("Id"));
    a.provider = text(account, QStringLiteral("ProviderName"));
    a.identity = text(account, QStringLiteral("PresentationIdentity"));
    a.needsAttention = flag(account, QStringLiteral("AttentionNeeded"));
    a.email = text(mail, QStringLiteral("EmailAddress"));
    a.imapUser = text(mail, QStringLiteral("ImapUserName"));
    if (a.imapUser.isEmpty())
        a.imapUser = a.email;
    if (flag(mail, QStringLiteral("ImapUseSsl"))) {
        a.security = ImapAccountConfig::Security::ImplicitTls;
        a.imapPort = 993;
    } else if (flag(mail, QStringLiteral("ImapUseTls"))) {
        a.security = ImapAccountConfig::Security::StartTls;
        a.imapPort = 143;
    } else {
        a.security = ImapAccountConfig::Security::Plain;
        a.imapPort = 143;
    }
    splitHostPort(text(mail, QStringLiteral("ImapHost")), &a.imapHost, &a.imapPort);
    // Without either there is nothing to sign in to or with.
    if (a.id.isEmpty() || a.imapHost.isEmpty())
        return {};
    return a;
}

// How an account is named in messages: as the desktop's settings show it.
QString accountName(const QVariantMap &account, const QString &id)
{
    const QString identity = text(account, QStringLiteral("PresentationIdentity")).left(200);
    const QString provider = text(account, QStringLiteral("ProviderName")).left(100);
    if (identity.isEmpty())
        return QStringLiteral("\"%1\"").arg(id.left(200));
    return provider.isEmpty() ? identity : QStringLiteral("%1 (%2)").arg(identity, provider);
}

} // namespace

OnlineAccounts::OnlineAccounts(const QDBusConnection &bus)
    : m_bus(bus)
{
}

QDBusMessage OnlineAccounts::call(const QString &path, const QString &interface, const QString &method,
                                  const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(ServiceName, path, interface, method);
    message.setArguments(arguments);
    // Blocks on the bus's socket only: the caller may be in the middle of a login.
    return m_bus.call(message, QDBus::Block, CallTimeoutMs);
}

QString OnlineAccounts::failure(const QDBusMessage &reply) const
{
    // A name nobody owns and no file can start gives NameHasNoOwner, which Qt has no code for.
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return QCoreApplication::translate("OnlineAccounts", "GNOME Online Accounts is not running on this desktop.");
    switch (QDBusError(reply).type()) {
    case QDBusError::ServiceUnknown:
        return QCoreApplication::translate("OnlineAccounts", "GNOME Online Accounts is not running on this desktop.");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return QCoreApplication::translate("OnlineAccounts", "GNOME Online Accounts gave no answer within %1 seconds.")
            .arg(CallTimeoutMs / 1000);
    case QDBusError::Disconnected:
        return QCoreApplication::translate("OnlineAccounts", "No session bus: %1").arg(m_bus.lastError().message());
    default:
        break;
    }
    const QString said = reply.errorMessage().left(300).trimmed();
    return said.isEmpty() ? reply.errorName() : said;
}

QString OnlineAccounts::unavailableReason() const
{
    if (!m_bus.isConnected()) {
        const QString why = m_bus.lastError().message();
        return QCoreApplication::translate("OnlineAccounts", "No session bus: %1")
            .arg(why.isEmpty() ? QCoreApplication::translate("OnlineAccounts", "not connected") : why);
    }
    const auto busCall = [&](const QString &method, const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                              QStringLiteral("/org/freedesktop/DBus"),
                                                              QStringLiteral("org.freedesktop.DBus"), method);
        message.setArguments(arguments);
        return m_bus.call(message, QDBus::Block, CallTimeoutMs);
    };
    const QDBusMessage owned = busCall(QStringLiteral("NameHasOwner"), {ServiceName});
    if (owned.type() != QDBusMessage::ReplyMessage)
        return QCoreApplication::translate("OnlineAccounts", "The session bus does not answer: %1").arg(failure(owned));
    if (owned.arguments().value(0).toBool())
        return {};
    const QDBusMessage activatable = busCall(QStringLiteral("ListActivatableNames"), {});
    if (activatable.type() != QDBusMessage::ReplyMessage)
        return QCoreApplication::translate("OnlineAccounts", "The session bus does not answer: %1")
            .arg(failure(activatable));
    if (activatable.arguments().value(0).toStringList().contains(ServiceName))
        return {};
    return QCoreApplication::translate("OnlineAccounts", "GNOME Online Accounts is not running on this desktop.");
}

namespace {

// Every account object the service has, or why not.
bool readObjects(const QDBusMessage &reply, ManagedObjects *objects)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a{oa{sa{sv}}}"))
        return false;
    reply.arguments().at(0).value<QDBusArgument>() >> *objects;
    return true;
}

} // namespace

QList<OnlineAccounts::Account> OnlineAccounts::mailAccounts(QString *problem) const
{
    if (problem)
        problem->clear();
    const QDBusMessage reply =
        call(ManagerPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"));
    ManagedObjects objects;
    if (!readObjects(reply, &objects)) {
        if (problem)
            *problem = reply.type() == QDBusMessage::ErrorMessage
                ? failure(reply)
                : QCoreApplication::translate("OnlineAccounts",
                                              "GNOME Online Accounts gave an answer of the wrong form.");
        return {};
    }
    QList<Account> accounts;
    for (const Interfaces &interfaces : std::as_const(objects)) {
        if (const std::optional<Account> account = mailAccount(interfaces))
            accounts.append(*account);
    }
    std::sort(accounts.begin(), accounts.end(), [](const Account &a, const Account &b) {
        const int byIdentity = a.identity.compare(b.identity, Qt::CaseInsensitive);
        return byIdentity != 0 ? byIdentity < 0 : a.id < b.id;
    });
    return accounts;
}

ImapTokenSource::Token OnlineAccounts::accessToken(const QString &id, bool fresh) const
{
    ImapTokenSource::Token token;
    const QDBusMessage listed =
        call(ManagerPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"));
    ManagedObjects objects;
    if (!readObjects(listed, &objects)) {
        token.problem = listed.type() == QDBusMessage::ErrorMessage
            ? failure(listed)
            : QCoreApplication::translate("OnlineAccounts", "GNOME Online Accounts gave an answer of the wrong form.");
        return token;
    }
    QString path;
    Interfaces interfaces;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        if (text(it.value().value(AccountInterface), QStringLiteral("Id")) == id) {
            path = it.key().path();
            interfaces = it.value();
            break;
        }
    }
    if (path.isEmpty() || id.isEmpty()) {
        token.problem =
            QCoreApplication::translate("OnlineAccounts",
                                        "The desktop has no online account \"%1\" (was it removed from the settings?).")
                .arg(id.left(200));
        return token;
    }
    const QVariantMap account = interfaces.value(AccountInterface);
    const QString name = accountName(account, id);
    if (!interfaces.contains(OAuth2Interface)) {
        token.problem =
            QCoreApplication::translate("OnlineAccounts", "The online account %1 does not sign in with OAuth2.")
                .arg(name);
        return token;
    }
    if (flag(account, QStringLiteral("AttentionNeeded"))) {
        token.problem = QCoreApplication::translate(
                            "OnlineAccounts",
                            "The online account %1 needs attention: sign in to it again in the desktop's settings.")
                            .arg(name);
        return token;
    }
    if (fresh) {
        // What makes the service renew a token the provider no longer takes.
        const QDBusMessage ensured = call(path, AccountInterface, QStringLiteral("EnsureCredentials"));
        if (ensured.type() != QDBusMessage::ReplyMessage) {
            token.problem =
                QCoreApplication::translate("OnlineAccounts", "The online account %1 could not renew its sign-in: %2")
                    .arg(name, failure(ensured));
            return token;
        }
    }
    const QDBusMessage got = call(path, OAuth2Interface, QStringLiteral("GetAccessToken"));
    if (got.type() != QDBusMessage::ReplyMessage) {
        token.problem = QCoreApplication::translate("OnlineAccounts", "The online account %1 gave no sign-in token: %2")
                            .arg(name, failure(got));
        return token;
    }
    const QString value = got.signature() == QLatin1String("si") ? got.arguments().at(0).toString() : QString();
    // A token travels inside a SASL message: anything but printable ASCII would corrupt it.
    const bool printable =
        std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
    if (value.isEmpty() || value.size() > MaxTokenBytes || !printable) {
        token.problem =
            QCoreApplication::translate("OnlineAccounts", "The online account %1 gave no usable sign-in token.")
                .arg(name);
        return token;
    }
    token.value = value;
    const int expiresIn = got.arguments().at(1).toInt();
    if (expiresIn > 0)
        token.expires = Clock::instance().now().addSecs(expiresIn);
    return token;
}

} // namespace lumora
