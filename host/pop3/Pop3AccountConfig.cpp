#include "host/pop3/Pop3AccountConfig.h"

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>

namespace lumora {

std::optional<Pop3AccountConfig> Pop3AccountConfig::fromUrl(const QString &url, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<Pop3AccountConfig> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid())
        return fail(QCoreApplication::translate("Pop3AccountConfig", "\"%1\" is not a valid address.").arg(url));
    Pop3AccountConfig c;
    const QString scheme = u.scheme().toLower();
    const QUrlQuery query(u);
    if (scheme == QLatin1String("pop3s")) {
        c.security = Security::ImplicitTls;
        c.port = 995;
    } else if (scheme == QLatin1String("pop3")) {
        c.security = Security::StartTls;
        c.port = 110;
        const QString security = query.queryItemValue(QStringLiteral("security")).toLower();
        if (security == QLatin1String("plain"))
            c.security = Security::Plain;
        else if (!security.isEmpty() && security != QLatin1String("starttls") && security != QLatin1String("stls"))
            return fail(QCoreApplication::translate("Pop3AccountConfig", "Unknown security \"%1\" (use stls or plain).")
                            .arg(security));
    } else {
        return fail(
            QCoreApplication::translate("Pop3AccountConfig", "\"%1\" is not a pop3:// or pop3s:// address.").arg(url));
    }
    if (query.hasQueryItem(QStringLiteral("interval"))) {
        bool ok = false;
        const int minutes = query.queryItemValue(QStringLiteral("interval")).toInt(&ok);
        if (!ok || minutes < 1 || minutes > MaxIntervalMinutes)
            return fail(
                QCoreApplication::translate("Pop3AccountConfig",
                                            "The check interval of \"%1\" must be a number of minutes from 1 to %2.")
                    .arg(url)
                    .arg(MaxIntervalMinutes));
        c.intervalMinutes = minutes;
    }
    c.host = u.host();
    c.user = u.userName();
    if (c.host.isEmpty() || c.user.isEmpty())
        return fail(
            QCoreApplication::translate("Pop3AccountConfig", "\"%1\" needs a user and a host (pop3s://user@host).")
                .arg(url));
    if (!u.password().isEmpty())
        return fail(QCoreApplication::translate(
            "Pop3AccountConfig",
            "Leave the password out of the address; Lumora asks for it and keeps it in the desktop's "
            "secret service."));
    if (u.port() > 0)
        c.port = quint16(u.port());
    return c;
}

QString Pop3AccountConfig::toUrl() const
{
    QUrl u;
    u.setScheme(security == Security::ImplicitTls ? QStringLiteral("pop3s") : QStringLiteral("pop3"));
    u.setUserName(user);
    u.setHost(host);
    u.setPort(port);
    QUrlQuery query;
    if (security == Security::Plain)
        query.addQueryItem(QStringLiteral("security"), QStringLiteral("plain"));
    if (intervalMinutes != DefaultIntervalMinutes)
        query.addQueryItem(QStringLiteral("interval"), QString::number(intervalMinutes));
    if (!query.isEmpty())
        u.setQuery(query);
    return u.toString();
}

QString Pop3AccountConfig::key() const
{
    return QStringLiteral("%1@%2:%3").arg(user, host).arg(port);
}

} // namespace lumora
