#pragma once

#include <QByteArray>
#include <QList>

namespace lumora {

// One token of a server response: an atom (numbers, flags, "BODY[...]" included), a quoted
// or literal string, NIL, or a parenthesised list.
struct ImapValue
{
    enum Kind {
        Atom,
        String,
        Nil,
        List
    };
    Kind kind = Atom;
    QByteArray text;
    QList<ImapValue> items;

    bool isList() const { return kind == List; }
    // The number an atom holds; 0 when it holds none.
    quint64 number() const;
    // In a list of name/value pairs (FETCH, STATUS): the value after name, or null.
    const ImapValue *valueOf(const QByteArray &name) const;
};

// One complete response: "*" untagged, "+" continuation, or a command's tag.
struct ImapResponse
{
    QByteArray tag;
    // The tokens after the tag.
    QList<ImapValue> values;
    // For status responses (OK, NO, BAD, BYE, PREAUTH): the bracketed code without brackets
    // ("UIDVALIDITY 3") and the human text after it.
    QByteArray code;
    QByteArray text;

    bool isUntagged() const { return tag == "*"; }
    bool isContinuation() const { return tag == "+"; }
    // The upper-cased word at index (0-based after the tag), or empty.
    QByteArray word(qsizetype index) const;
    // "OK", "NO", "BAD", "BYE", "PREAUTH" when this is a status response, else empty.
    QByteArray status() const;
};

// Splits the server's byte stream into responses, literals included. The input is untrusted:
// sizes are bounded and malformed text never reads past what arrived.
class ImapResponseReader
{
public:
    // Appends received bytes.
    void feed(const QByteArray &bytes);
    // Takes the next complete response; false when none is complete yet. *size gets the
    // bytes it took on the wire.
    bool next(ImapResponse *response, qsizetype *size = nullptr);
    // Bytes received and not yet taken as responses.
    qsizetype bufferedBytes() const { return m_buffer.size() - m_start; }
    // True once the stream broke a limit; the connection should be dropped.
    bool failed() const { return m_failed; }

    // Parses one complete response (CRLF-terminated line with its literals).
    static ImapResponse parse(const QByteArray &raw);

    // A response larger than this (a message fetched whole) is refused.
    static constexpr qsizetype MaxResponseBytes = 64 * 1024 * 1024;
    // One line, literals not counted: a SEARCH of some 400 000 UIDs still fits.
    static constexpr qsizetype MaxLineBytes = 4 * 1024 * 1024;

private:
    QByteArray m_buffer;
    // Where the response being read starts, where its current line starts (after its last
    // literal), and where the search for that line's end resumes.
    qsizetype m_start = 0;
    qsizetype m_line = 0;
    qsizetype m_searchFrom = 0;
    bool m_failed = false;
};

} // namespace lumora
