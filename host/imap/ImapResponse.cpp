#include "host/imap/ImapResponse.h"

namespace lumora {

namespace {

constexpr int MaxDepth = 32;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The size of the literal announced at the end of the line that ends at eol ("{12}" or
// "{12+}"); -1 when the line announces none, -2 when the size is absurd. The line starts at
// from: what lies before it (an earlier literal's bytes) announces nothing.
qint64 literalSizeBefore(const QByteArray &buffer, qsizetype from, qsizetype eol)
{
    qsizetype i = eol - 1;
    if (i < from || buffer.at(i) != '}')
        return -1;
    --i;
    if (i >= from && buffer.at(i) == '+')
        --i;
    const qsizetype lastDigit = i;
    while (i >= from && isDigit(buffer.at(i)))
        --i;
    if (i < from || buffer.at(i) != '{' || i == lastDigit)
        return -1;
    if (lastDigit - i > 10)
        return -2;
    return buffer.mid(i + 1, lastDigit - i).toLongLong();
}

class Tokenizer
{
public:
    explicit Tokenizer(const QByteArray &raw)
        : m_raw(raw)
    {
    }

    QList<ImapValue> values(qsizetype from)
    {
        m_pos = from;
        return list(0);
    }

private:
    QList<ImapValue> list(int depth)
    {
        QList<ImapValue> out;
        while (m_pos < m_raw.size()) {
            const char c = m_raw.at(m_pos);
            if (c == ' ') {
                ++m_pos;
            } else if (c == '\r' || c == '\n') {
                if (depth == 0)
                    return out;
                ++m_pos;
            } else if (c == '(') {
                ++m_pos;
                ImapValue v;
                v.kind = ImapValue::List;
                // Deeper nesting than any real response is read flat rather than recursed.
                if (depth < MaxDepth)
                    v.items = list(depth + 1);
                out.append(v);
            } else if (c == ')') {
                ++m_pos;
                if (depth > 0)
                    return out;
            } else if (c == '"') {
                out.append(quoted());
            } else if (c == '{' && literal(&out)) {
                continue;
            } else {
                out.append(atom());
            }
        }
        return out;
    }

    ImapValue quoted()
    {
        ImapValue v;
        v.kind = ImapValue::String;
        ++m_pos;
        while (m_pos < m_raw.size()) {
            char c = m_raw.at(m_pos++);
            if (c == '"')
                return v;
            if (c == '\\' && m_pos < m_raw.size())
                c = m_raw.at(m_pos++);
            else if (c == '\r' || c == '\n') {
                --m_pos;
                return v;
            }
            v.text.append(c);
        }
        return v;
    }

    bool literal(QList<ImapValue> *out)
    {
        qsizetype i = m_pos + 1;
        while (i < m_raw.size() && isDigit(m_raw.at(i)))
            ++i;
        if (i == m_pos + 1 || i - m_pos > 11)
            return false;
        const qint64 size = m_raw.mid(m_pos + 1, i - m_pos - 1).toLongLong();
        if (i < m_raw.size() && m_raw.at(i) == '+')
            ++i;
        if (!m_raw.mid(i).startsWith("}\r\n"))
            return false;
        const qsizetype start = i + 3;
        if (size > m_raw.size() - start)
            return false;
        ImapValue v;
        v.kind = ImapValue::String;
        v.text = m_raw.mid(start, size);
        out->append(v);
        m_pos = start + size;
        return true;
    }

    ImapValue atom()
    {
        ImapValue v;
        int brackets = 0;
        while (m_pos < m_raw.size()) {
            const char c = m_raw.at(m_pos);
            if (c == '\r' || c == '\n')
                break;
            if (brackets == 0 && (c == ' ' || c == '(' || c == ')'))
                break;
            if (c == '[')
                ++brackets;
            else if (c == ']' && brackets > 0)
                --brackets;
            v.text.append(c);
            ++m_pos;
        }
        if (v.text.isEmpty()) {
            // A character no rule takes; step over it so the loop ends.
            v.text.append(m_raw.at(m_pos++));
        }
        if (v.text.compare("NIL", Qt::CaseInsensitive) == 0)
            v.kind = ImapValue::Nil;
        return v;
    }

    const QByteArray &m_raw;
    qsizetype m_pos = 0;
};

bool isStatusWord(const QByteArray &word)
{
    return word == "OK" || word == "NO" || word == "BAD" || word == "BYE" || word == "PREAUTH";
}

} // namespace

quint64 ImapValue::number() const
{
    bool ok = false;
    const quint64 n = kind == Atom ? text.toULongLong(&ok) : 0;
    return ok ? n : 0;
}

const ImapValue *ImapValue::valueOf(const QByteArray &name) const
{
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        if (items.at(i).kind == Atom && items.at(i).text.compare(name, Qt::CaseInsensitive) == 0)
            return &items.at(i + 1);
    }
    return nullptr;
}

QByteArray ImapResponse::word(qsizetype index) const
{
    if (index < 0 || index >= values.size() || values.at(index).kind != ImapValue::Atom)
        return {};
    return values.at(index).text.toUpper();
}

QByteArray ImapResponse::status() const
{
    const QByteArray first = word(0);
    return isStatusWord(first) ? first : QByteArray();
}

void ImapResponseReader::feed(const QByteArray &bytes)
{
    // Taken responses are dropped in bulk, so a burst of short lines costs linear time.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_line -= m_start;
        m_searchFrom -= m_start;
        m_start = 0;
    }
    m_buffer.append(bytes);
}

bool ImapResponseReader::next(ImapResponse *response, qsizetype *size)
{
    if (m_failed)
        return false;
    while (true) {
        const qsizetype eol = m_buffer.indexOf("\r\n", m_searchFrom);
        if (eol < 0) {
            m_searchFrom = qMax(m_line, m_buffer.size() - 1);
            if (m_buffer.size() - m_line > MaxLineBytes || m_buffer.size() - m_start > MaxResponseBytes)
                m_failed = true;
            return false;
        }
        if (eol - m_line > MaxLineBytes) {
            m_failed = true;
            return false;
        }
        const qint64 literal = literalSizeBefore(m_buffer, m_line, eol);
        if (literal == -1) {
            const QByteArray raw = m_buffer.mid(m_start, eol + 2 - m_start);
            m_start = m_line = m_searchFrom = eol + 2;
            if (m_start == m_buffer.size()) {
                m_buffer.clear();
                m_start = m_line = m_searchFrom = 0;
            }
            if (size)
                *size = raw.size();
            *response = parse(raw);
            return true;
        }
        const qint64 after = eol + 2 + literal;
        if (literal < 0 || after - m_start > MaxResponseBytes) {
            m_failed = true;
            return false;
        }
        if (m_buffer.size() < after) {
            // Wait for the literal; the next call finds this line end again.
            m_searchFrom = eol;
            return false;
        }
        m_line = m_searchFrom = qsizetype(after);
    }
}

ImapResponse ImapResponseReader::parse(const QByteArray &raw)
{
    ImapResponse r;
    qsizetype space = raw.indexOf(' ');
    qsizetype lineEnd = raw.indexOf("\r\n");
    if (lineEnd < 0)
        lineEnd = raw.size();
    if (space < 0 || space > lineEnd)
        space = lineEnd;
    r.tag = raw.left(space);
    const qsizetype rest = qMin(space + 1, lineEnd);
    if (r.isContinuation()) {
        r.text = raw.mid(rest, lineEnd - rest);
        return r;
    }
    // Status responses end in free text that need not tokenize (an unmatched parenthesis).
    qsizetype wordEnd = raw.indexOf(' ', rest);
    if (wordEnd < 0 || wordEnd > lineEnd)
        wordEnd = lineEnd;
    const QByteArray first = raw.mid(rest, wordEnd - rest).toUpper();
    if (isStatusWord(first)) {
        r.values.append(ImapValue{ImapValue::Atom, first, {}});
        qsizetype i = qMin(wordEnd + 1, lineEnd);
        if (i < lineEnd && raw.at(i) == '[') {
            const qsizetype close = raw.indexOf(']', i);
            if (close > 0 && close < lineEnd) {
                r.code = raw.mid(i + 1, close - i - 1);
                i = qMin(close + 2, lineEnd);
            }
        }
        r.text = raw.mid(i, lineEnd - i);
        return r;
    }
    r.values = Tokenizer(raw).values(rest);
    return r;
}

} // namespace lumora
