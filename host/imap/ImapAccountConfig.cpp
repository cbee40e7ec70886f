#include "host/imap/ImapAccountConfig.h"

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>

namespace lumora {

std::optional<ImapAccountConfig> ImapAccountConfig::fromUrl(const QString &url, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<ImapAccountConfig> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid())
        return fail(QStringLiteral("\"%1\" is not a valid address.").arg(url));
    ImapAccountConfig c;
    const QString scheme = u.scheme().toLower();
    if (scheme == QLatin1String("imaps")) {
        c.security = Security::ImplicitTls;
        c.port = 993;
    } else if (scheme == QLatin1String("imap")) {
        c.security = Security::StartTls;
        c.port = 143;
        const QString security = QUrlQuery(u).queryItemValue(QStringLiteral("security")).toLower();
        if (security == QLatin1String("plain"))
            c.security = Security::Plain;
        else if (!security.isEmpty() && security != QLatin1String("starttls"))
            return fail(
                QCoreApplication::translate("ImapAccountConfig", "Unknown security \"%1\" (use starttls or plain).")
                    .arg(security));
    } else {
        return fail(
            QCoreApplication::translate("ImapAccountConfig", "\"%1\" is not an imap:// or imaps:// address.").arg(url));
    }
    c.host = u.host();
    c.user = u.userName();
    if (c.host.isEmpty() || c.user.isEmpty())
        return fail(
            QCoreApplication::translate("ImapAccountConfig", "\"%1\" needs a user and a host (imaps://user@host).")
                .arg(url));
    if (!u.password().isEmpty())
        return fail(QCoreApplication::translate("ImapAccountConfig",
                                                "Leave the password out of the address; Lumora asks "
                                                "for it and keeps it in the desktop's secret service."));
    if (u.port() > 0)
        c.port = quint16(u.port());
    return c;
}

QString ImapAccountConfig::toUrl() const
{
    QUrl u;
    u.setScheme(security == Security::ImplicitTls ? QStringLiteral("imaps") : QStringLiteral("imap"));
    u.setUserName(user);
    u.setHost(host);
    u.setPort(port);
    if (security == Security::Plain)
        u.setQuery(QStringLiteral("security=plain"));
    return u.toString();
}

QString ImapAccountConfig::key() const
{
    return QStringLiteral("%1@%2:%3").arg(user, host).arg(port);
}

} // namespace lumora
