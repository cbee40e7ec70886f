#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

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
    // Held in memory only.
    QString password;
    // SHA-256 fingerprints (upper-case hex) of certificates the user chose to trust although
    // no authority vouches for them.
    QStringList trustedFingerprints;

    // "imaps://user@host[:port]" (implicit TLS), "imap://user@host[:port]" (STARTTLS);
    // "imap://...?security=plain" asks for no encryption at all. Null with a reason on error.
    static std::optional<ImapAccountConfig> fromUrl(const QString &url, QString *error = nullptr);
    QString toUrl() const;
    // "user@host:port": the account's name in messages and in the secret service.
    QString key() const;
};

} // namespace lumora
