#include "host/imap/ImapOAuth.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace lumora {

QByteArray ImapOAuth::name(Mechanism mechanism)
{
    return mechanism == Mechanism::OAuthBearer ? QByteArrayLiteral("OAUTHBEARER") : QByteArrayLiteral("XOAUTH2");
}

QByteArray ImapOAuth::initialResponse(Mechanism mechanism, const QString &user, const QString &host, quint16 port,
                                      const QString &token)
{
    // Control characters would end a field early; a user name never holds them legitimately.
    QByteArray login = user.toUtf8();
    login.replace('\x01', QByteArray());
    const QByteArray bearer = "auth=Bearer " + token.toLatin1() + "\x01\x01";
    if (mechanism == Mechanism::XOAuth2)
        return "user=" + login + '\x01' + bearer;
    // RFC 5801's saslname: ',' and '=' are escaped inside the GS2 header.
    login.replace('=', "=3D").replace(',', "=2C");
    return "n,a=" + login + ",\x01host=" + host.toUtf8() + "\x01port=" + QByteArray::number(port) + '\x01' + bearer;
}

QByteArray ImapOAuth::errorAcknowledgement(Mechanism mechanism)
{
    return mechanism == Mechanism::OAuthBearer ? QByteArrayLiteral("AQ==") : QByteArray();
}

QString ImapOAuth::errorStatus(const QByteArray &challengeBase64)
{
    const auto json =
        QByteArray::fromBase64Encoding(challengeBase64.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!json)
        return {};
    const QJsonValue status = QJsonDocument::fromJson(*json).object().value(QLatin1String("status"));
    if (status.isDouble())
        return QString::number(status.toInt());
    return status.toString();
}

bool ImapOAuth::saysTokenRefused(const QString &status)
{
    return status == QLatin1String("invalid_token") || status == QLatin1String("401");
}

} // namespace lumora
