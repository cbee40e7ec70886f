#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

namespace lumora {

// One answer of a POP3 server: its status line and, for a command that lists or fetches,
// the body that follows a +OK up to the line holding a lone ".".
struct Pop3Response
{
    bool ok = false;
    // The status line after "+OK" or "-ERR".
    QByteArray text;
    // The body, dot-stuffing undone, each line ended by CRLF; empty for a one-line answer.
    QByteArray body;
};

// Reads the responses of an untrusted server from the bytes it sends, as they arrive. What
// it may hold is bounded: a line, and a whole body; a server beyond that (or one that answers
// with neither +OK nor -ERR) makes the reader fail for good.
class Pop3ResponseReader
{
public:
    // Message lines are unbounded in practice; status and listing lines are short.
    static constexpr qsizetype MaxLineBytes = 1024 * 1024;
    static constexpr qsizetype MaxBodyBytes = 64 * 1024 * 1024;

    void feed(QByteArrayView bytes);
    // Takes the next whole response; multiLine says whether a +OK opens a body (the caller
    // knows from its command). False while more bytes are needed, or once the reader failed.
    bool next(bool multiLine, Pop3Response *out);
    bool failed() const { return m_failed; }
    // Bytes received and not yet taken, the partial body included.
    qsizetype bufferedBytes() const { return m_buffer.size() - m_pos + m_partial.body.size(); }

    // The "number id" lines of a UIDL listing, in the server's order. Lines that are not of
    // that form (a bad number, an id out of RFC 1939's 1 to 70 printable characters) are left
    // out, as is a number or id met twice.
    static QList<std::pair<quint32, QByteArray>> parseUidl(QByteArrayView body);
    static bool isValidUidl(QByteArrayView uidl);

private:
    // The next line without its line end; false while it is incomplete.
    bool takeLine(QByteArray *line);

    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_inBody = false;
    bool m_failed = false;
    Pop3Response m_partial;
};

} // namespace lumora
