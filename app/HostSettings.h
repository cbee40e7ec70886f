#pragma once

#include <QStringList>

namespace lumora {

// The host's own settings, kept under HKEY_CURRENT_USER "Software\Corvane Software\Lumora\Host":
// the Maildir stores opened besides the default one, the IMAP accounts (addresses without
// passwords), the mail client's window class and the command that opens a message. The command
// line adds to or overrides them for one run.
struct HostSettings
{
    QStringList stores;
    QStringList imapAccounts;
    QString mailClient;
    QString displayCommand;

    static const QString Key;
    static HostSettings load();
    // False when the registry could not be written.
    bool save() const;

    bool operator==(const HostSettings &) const = default;
};

} // namespace lumora
