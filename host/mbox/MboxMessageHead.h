#pragma once

#include <QByteArray>
#include <QDateTime>

namespace lumora {

// What the index keeps of a message, read from its From_ line and header block: its read
// state, an identity that survives the file being rewritten, and when it arrived.
struct MboxMessageHead
{
    bool seen = false; // Status has R, or X-Mozilla-Status has the read or expunged bit
    bool old = false; // Status has O: a client has seen it arrive
    bool complete = false; // the header block ended within the bytes given
    quint64 identity = 0; // hash of the From_ line and the Message-ID
    QDateTime received; // the From_ line's date, else Date; null when neither reads

    // Parses untrusted bytes from a message's From_ line on (the body is ignored).
    static MboxMessageHead parse(const QByteArray &bytes);
    // The date of a From_ line ("From addr Wed Dec  9 01:38:43 2026"), local time; null
    // when it has none.
    static QDateTime fromLineDate(const QByteArray &line);
};

} // namespace lumora
