#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace lumora {

// What the notifier shows of a message, taken from its header block.
struct MailHeaders
{
    QString subject;
    // Display name of the first From address, or its address when it has no name.
    QString senderName;
    // 0 low, 1 normal, 2 high.
    int importance = 1;
    // The Date header; null when missing or unparsable.
    QDateTime date;
    // The Message-ID without its angle brackets and blanks; empty when missing.
    QByteArray messageId;
    // When the last mail server took the message in: the date of the topmost Received
    // header; null when missing or unparsable.
    QDateTime received;
};

// Parses untrusted message headers: folded lines, RFC 2047 words and charsets (through
// MailHeaderText); GMime reads the date.
// Never fails: whatever cannot be read comes back empty.
class MailHeaderReader
{
public:
    // The header block of a message (a whole message is fine; the body is ignored).
    static MailHeaders parse(const QByteArray &message);
    // Reads only the header block of the file (bounded) and parses it. Only a regular file
    // is read, and nothing waits on a pipe or device put in its place. With within given, the
    // file must lie below that directory: a link leading elsewhere is not followed. What
    // cannot be read comes back empty, and *error (when given) says why.
    static MailHeaders parseFile(const QString &path, const QString &within = {}, QString *error = nullptr);
    // The header block at the start of a message: up to the first empty line.
    static QByteArray headerBlock(const QByteArray &message);
    // Importance from the "Importance", "X-Priority" and "Priority" header values.
    static int importanceFrom(const QByteArray &importance, const QByteArray &xPriority, const QByteArray &priority);

    // Message files opened by parseFile since start (benchmarks prove scans open none).
    static quint64 filesOpened();

    // Headers larger than this are cut; nothing legitimate comes close.
    static constexpr qint64 MaxHeaderBytes = 4 * 1024 * 1024;
    // Each field shows up to this many characters, far more than a popup or log line shows;
    // a longer one is cut after decoding and ends in "…".
    static constexpr qsizetype MaxFieldChars = 8 * 1024;
    // Each field is read up to this many bytes, room for MaxFieldChars in any encoding; an
    // encoded word the cut falls into is left out, never shown raw.
    static constexpr qsizetype MaxRawFieldBytes = 4 * MaxFieldChars;
};

} // namespace lumora
