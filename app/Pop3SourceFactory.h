#pragma once

#include "app/ImapSetup.h"

#include <memory>

namespace lumora {

class MailSource;

// Makes the POP3 account sources: the password and trusted certificates as for IMAP
// (the secret service, asked for when missing and a dialog may be shown), the question
// about a certificate no authority vouches for, the confirmation before a message is
// deleted from the server, and the file that remembers what the account held.
class Pop3SourceFactory
{
public:
    explicit Pop3SourceFactory(ImapSetup &setup)
        : m_setup(setup)
    {
    }

    // A source for the account address; null with *why when the address is wrong or no
    // password can be had.
    std::unique_ptr<MailSource> create(const QString &url, const ImapSetup::Options &options, QString *why);
    // The key an account is known by ("user@host:port"); empty for an address not understood.
    static QString key(const QString &url);
    // The file that remembers the account's messages between runs.
    static QString statePath(const QString &key);

private:
    ImapSetup &m_setup;
};

} // namespace lumora
