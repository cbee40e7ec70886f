#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumora {

// Where one POP3 account lives, how to reach it and how often to ask it. The password is
// never part of the saved form: it comes from the desktop's secret service at run time.
struct Pop3AccountConfig
{
    enum class Security {
        ImplicitTls,
        StartTls,
        Plain
    };

    QString host;
    quint16 port = 995;
    Security security = Security::ImplicitTls;
    QString user;
    // Held in memory only.
    QString password;
    // SHA-256 fingerprints (upper-case hex) of certificates the user chose to trust although
    // no authority vouches for them.
    QStringList trustedFingerprints;
    // POP3 cannot tell of new mail, so the server is asked this often.
    int intervalMinutes = DefaultIntervalMinutes;

    static constexpr int DefaultIntervalMinutes = 5;
    static constexpr int MaxIntervalMinutes = 24 * 60;

    // "pop3s://user@host[:port]" (implicit TLS), "pop3://user@host[:port]" (STLS);
    // "?security=plain" asks for no encryption, "?interval=MINUTES" sets how often the server
    // is asked (1 at least). Null with a reason on error.
    static std::optional<Pop3AccountConfig> fromUrl(const QString &url, QString *error = nullptr);
    QString toUrl() const;
    // "user@host:port": the account's name in messages and in the secret service.
    QString key() const;
};

} // namespace lumora
