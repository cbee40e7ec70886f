#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QString>

namespace lumora::test {

// A JSON Web Token for user, signed HS256 with key, good until expires: what a test's
// OAuth2 provider would hand out.
inline QByteArray testJwt(const QByteArray &key, const QString &user, const QDateTime &expires)
{
    const auto part = [](const QJsonObject &o) {
        return QJsonDocument(o)
            .toJson(QJsonDocument::Compact)
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    };
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QByteArray signedPart =
        part({{QStringLiteral("alg"), QStringLiteral("HS256")}, {QStringLiteral("typ"), QStringLiteral("JWT")}}) + '.'
        + part({{QStringLiteral("sub"), user},
                {QStringLiteral("iat"), now - 60},
                {QStringLiteral("exp"), expires.toSecsSinceEpoch()}});
    const QByteArray signature = QMessageAuthenticationCode::hash(signedPart, key, QCryptographicHash::Sha256)
                                     .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    return signedPart + '.' + signature;
}

} // namespace lumora::test
