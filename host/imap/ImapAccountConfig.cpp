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
    const QUrlQuery query(u);
    const QString auth = query.queryItemValue(QStringLiteral("auth"), QUrl::FullyDecoded).toLower();
    if (auth == QLatin1String("oauth2")) {
        c.signIn = SignIn::OAuth2;
        c.tokenCommand = query.queryItemValue(QStringLiteral("tokencmd"), QUrl::FullyDecoded).trimmed();
        c.onlineAccount = query.queryItemValue(QStringLiteral("online"), QUrl::FullyDecoded).trimmed();
        if (c.tokenCommand.isEmpty() == c.onlineAccount.isEmpty())
            return fail(QCoreApplication::translate(
                "ImapAccountConfig",
                "An OAuth2 account needs either a token command (tokencmd=...) or an online account (online=...)."));
    } else if (!auth.isEmpty() && auth != QLatin1String("password")) {
        return fail(QCoreApplication::translate("ImapAccountConfig", "Unknown sign-in \"%1\" (use password or oauth2).")
                        .arg(auth));
    }
    return c;
}

QString ImapAccountConfig::toUrl() const
{
    QUrl u;
    u.setScheme(security == Security::ImplicitTls ? QStringLiteral("imaps") : QStringLiteral("imap"));
    u.setUserName(user);
    u.setHost(host);
    u.setPort(port);
    QUrlQuery query;
    if (security == Security::Plain)
        query.addQueryItem(QStringLiteral("security"), QStringLiteral("plain"));
    if (signIn == SignIn::OAuth2) {
        query.addQueryItem(QStringLiteral("auth"), QStringLiteral("oauth2"));
        // Spaces, '&' and '=' in a command survive only percent-encoded.
        if (!tokenCommand.isEmpty())
            query.addQueryItem(QStringLiteral("tokencmd"), QString::fromUtf8(QUrl::toPercentEncoding(tokenCommand)));
        else
            query.addQueryItem(QStringLiteral("online"), QString::fromUtf8(QUrl::toPercentEncoding(onlineAccount)));
    }
    if (!query.isEmpty())
        u.setQuery(query);
    // A command's spaces and quotes must stay encoded to read back; other addresses keep the
    // readable form they were always saved in.
    return signIn == SignIn::OAuth2 ? u.toString(QUrl::FullyEncoded) : u.toString();
}

QString ImapAccountConfig::key() const
{
    return QStringLiteral("%1@%2:%3").arg(user, host).arg(port);
}

} // namespace lumora
