#pragma once

#include <QStringList>

namespace lumora {

// The host's own settings, kept under HKEY_CURRENT_USER "Software\Corvane Software\Lumora\Host":
// the Maildir stores opened besides the default one, the IMAP accounts (addresses without
// passwords), the mail client's window class, the command that opens a message, whether popups
// wait while the user presents, and a command run on new mail. The command line adds to or
// overrides some of them for one run. The add-in reads the last two under this key itself.
struct HostSettings
{
    QStringList stores;
    QStringList imapAccounts;
    // POP3 accounts, as addresses without passwords.
    QStringList pop3Accounts;
    QString mailClient;
    QString displayCommand;
    bool quietWhilePresenting = true;
    QString newMailCommand;

    static const QString Key;
    static HostSettings load();
    // False when the registry could not be written.
    bool save() const;

    bool operator==(const HostSettings &) const = default;
};

} // namespace lumora
