#pragma once

#include "app/ImapSetup.h"

#include <memory>

namespace lumora {

class MailSource;
class PasswordStore;

// Makes the IMAP account sources: the password from the secret service (asked for when
// missing and a dialog may be shown), trusted certificates, and the question about a
// certificate no authority vouches for.
class ImapSourceFactory
{
public:
    explicit ImapSourceFactory(ImapSetup &setup)
        : m_setup(setup)
    {
    }

    // A source for the account address; null with *why when the address is wrong or no
    // password can be had.
    std::unique_ptr<MailSource> create(const QString &url, const ImapSetup::Options &options, QString *why);
    // The key an account is known by ("user@host:port"); empty for an address not understood.
    static QString key(const QString &url);

private:
    ImapSetup &m_setup;
};

} // namespace lumora
