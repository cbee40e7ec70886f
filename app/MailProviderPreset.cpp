#include "app/MailProviderPreset.h"

#include <array>

namespace lumora {

namespace {

struct Entry
{
    const char *domains; // space-separated
    const char *provider;
    const char *host;
    bool oauth2;
};

// Servers as the providers publish them; all take IMAP over TLS on port 993.
constexpr std::array Entries{
    Entry{"gmail.com googlemail.com", "Google", "imap.gmail.com", true},
    Entry{"outlook.com outlook.de outlook.fr hotmail.com hotmail.co.uk hotmail.de hotmail.fr live.com live.de "
          "live.fr msn.com",
          "Microsoft", "outlook.office365.com", true},
    Entry{"yahoo.com yahoo.de yahoo.fr yahoo.co.uk ymail.com", "Yahoo", "imap.mail.yahoo.com", false},
    Entry{"aol.com", "AOL", "imap.aol.com", false},
    Entry{"icloud.com me.com mac.com", "iCloud", "imap.mail.me.com", false},
    Entry{"fastmail.com fastmail.fm", "Fastmail", "imap.fastmail.com", false},
    Entry{"gmx.de gmx.net gmx.at gmx.ch", "GMX", "imap.gmx.net", false},
    Entry{"gmx.com", "GMX", "imap.gmx.com", false},
    Entry{"web.de", "WEB.DE", "imap.web.de", false},
    Entry{"t-online.de", "Telekom", "secureimap.t-online.de", false},
    Entry{"posteo.de posteo.net", "Posteo", "posteo.de", false},
    Entry{"mailbox.org", "mailbox.org", "imap.mailbox.org", false},
    Entry{"zoho.com zohomail.com", "Zoho", "imap.zoho.com", false},
    Entry{"orange.fr wanadoo.fr", "Orange", "imap.orange.fr", false},
    Entry{"free.fr", "Free", "imap.free.fr", false},
    Entry{"laposte.net", "La Poste", "imap.laposte.net", false},
};

} // namespace

std::optional<MailProviderPreset> MailProviderPreset::forAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    const qsizetype at = trimmed.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || trimmed.contains(QLatin1Char(' ')))
        return std::nullopt;
    const QString domain = trimmed.mid(at + 1).toLower();
    if (domain.isEmpty())
        return std::nullopt;
    for (const Entry &e : Entries) {
        if (!QString::fromLatin1(e.domains).split(QLatin1Char(' ')).contains(domain))
            continue;
        MailProviderPreset p;
        p.provider = QString::fromUtf8(e.provider);
        p.host = QString::fromLatin1(e.host);
        p.oauth2 = e.oauth2;
        return p;
    }
    return std::nullopt;
}

} // namespace lumora
