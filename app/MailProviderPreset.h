#pragma once

#include "host/imap/ImapAccountConfig.h"

#include <QString>

#include <optional>

namespace lumora {

// The IMAP settings of the big mail providers, found from an address's domain, so a user
// types an address instead of looking up a server. Providers that refuse passwords over
// IMAP (Google, Microsoft) are marked as wanting OAuth2.
struct MailProviderPreset
{
    QString provider;
    QString host;
    quint16 port = 993;
    ImapAccountConfig::Security security = ImapAccountConfig::Security::ImplicitTls;
    bool oauth2 = false;

    // The preset for an address ("alice@gmail.com", any case); null for unknown domains and
    // for text that is no address.
    static std::optional<MailProviderPreset> forAddress(const QString &address);
};

} // namespace lumora
