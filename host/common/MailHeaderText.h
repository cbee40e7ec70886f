#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumora {

// Turns raw header values into display text. Mail headers come in every charset and
// every degree of brokenness; the rule here is to show what the sender wrote, and where
// bytes cannot be read, show U+FFFD rather than guess another charset's letters.
class MailHeaderText
{
public:
    // Unstructured text (a Subject): RFC 2047 encoded words decoded, adjacent words of one
    // charset joined before decoding (so a character split between them survives), raw
    // 8-bit bytes read as UTF-8. A B-encoded word that is not base64 is shown as written.
    static QString decode(QByteArrayView raw);

    // Bytes in a declared charset. Unknown labels are read as raw text; bytes the charset
    // cannot map become U+FFFD.
    static QString decodeCharset(const QByteArray &charset, QByteArrayView bytes);

    // What to show for the first sender of a From value: its display name, else its
    // address, else the raw text; empty when the value is blank or names no one ("<>").
    static QString senderName(QByteArrayView raw);

    // A value cut short at a size limit, less an encoded word the cut fell into: the word
    // cannot be decoded, and would show as its raw encoding.
    static QByteArrayView withoutCutWord(QByteArrayView raw);

    // Control characters become blanks and runs of blanks one, for a one-line display.
    static QString oneLine(const QString &text);
};

} // namespace lumora
