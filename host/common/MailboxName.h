#pragma once

#include <QString>

namespace lumora {

// Mailbox names as IMAP spells them: modified UTF-7 (Maildir++ folder names written by IMAP
// servers use it too).
class MailboxName
{
public:
    // "&AOk-t&AOk-" -> "été"; bad input is kept as it stands.
    static QString decode(const QString &encoded);
};

} // namespace lumora
