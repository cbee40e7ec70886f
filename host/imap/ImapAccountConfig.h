#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace lumora {

class ImapTokenSource;

// Where one IMAP account lives and how to reach it. The password is never part of the
// saved form: it comes from the desktop's secret service at run time.
struct ImapAccountConfig
{
    enum class Security {
        ImplicitTls,
        StartTls,
        Plain
    };

    QString host;
    quint16 port = 993;
    Security security = Security::ImplicitTls;
    QString user;
    // How the user proves who they are: a password, or an OAuth2 access token (servers
    // such as Gmail and Microsoft 365 want the latter).
    enum class SignIn {
        Password,
        OAuth2
    };
    SignIn signIn = SignIn::Password;
    // Where OAuth2 tokens come from: a command whose output is the token (split into
    // program and arguments without a shell), or the id of one of the desktop's online
    // accounts. One of the two is set for an OAuth2 account.
    QString tokenCommand;
    QString onlineAccount;
    // Held in memory only.
    QString password;
    // Made at run time for an OAuth2 account; shared by the account's sessions.
    std::shared_ptr<ImapTokenSource> tokens;
    // SHA-256 fingerprints (upper-case hex) of certificates the user chose to trust although
    // no authority vouches for them.
    QStringList trustedFingerprints;

    // "imaps://user@host[:port]" (implicit TLS), "imap://user@host[:port]" (STARTTLS);
    // "imap://...?security=plain" asks for no encryption at all; "?auth=oauth2&tokencmd=…" or
    // "?auth=oauth2&online=<id>" signs in with OAuth2. Null with a reason on error.
    static std::optional<ImapAccountConfig> fromUrl(const QString &url, QString *error = nullptr);
    QString toUrl() const;
    // "user@host:port": the account's name in messages and in the secret service.
    QString key() const;
};

} // namespace lumora
