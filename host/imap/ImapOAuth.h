#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

// The two SASL mechanisms that carry an OAuth2 access token: OAUTHBEARER (RFC 7628) and the
// older XOAUTH2 that Google and Microsoft started with. Messages are raw, not base64.
class ImapOAuth
{
public:
    enum class Mechanism {
        OAuthBearer,
        XOAuth2
    };

    static QByteArray name(Mechanism mechanism);
    // The client's first message for user, to host:port, with token.
    static QByteArray initialResponse(Mechanism mechanism, const QString &user, const QString &host, quint16 port,
                                      const QString &token);
    // What the client answers to the server's error challenge so the server can end the
    // exchange with its tagged NO: RFC 7628's ^A, or XOAUTH2's empty line.
    static QByteArray errorAcknowledgement(Mechanism mechanism);
    // The "status" of the server's error challenge (base64 JSON), empty when it has none.
    static QString errorStatus(const QByteArray &challengeBase64);
    // Whether that status says the token is no longer (or not) good, so a new one is worth
    // one more try: RFC 6750's invalid_token, or XOAUTH2's HTTP-like 401.
    static bool saysTokenRefused(const QString &status);
};

} // namespace lumora
