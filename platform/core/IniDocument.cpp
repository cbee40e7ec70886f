#include "platform/core/IniDocument.h"

#include <QString>
#include <QStringDecoder>
#include <QVarLengthArray>

namespace lumora {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmedView(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArray trimmed(QByteArrayView text)
{
    return trimmedView(text).toByteArray();
}

// Callers get names and values in NUL-separated lists, where an embedded NUL would split
// one entry into two.
QByteArrayView cutAtNul(QByteArrayView text)
{
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
}

bool isAscii(const QByteArray &text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Names are compared on every look-up, so they are decoded on the stack, not the heap.
using DecodedName = QVarLengthArray<QChar, 128>;

// False for text that is not UTF-8.
bool decodeName(const QByteArray &text, DecodedName &out)
{
    // A leading U+FEFF is part of the name: stripped, "\uFEFFkey" would stand for "key".
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    out.resize(decoder.requiredSpace(text.size()));
    const QChar *end = decoder.appendToBuffer(out.data(), text);
    out.resize(end - out.constData());
    return !decoder.hasError();
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    if (isAscii(a) && isAscii(b))
        return a.size() == b.size() && qstrnicmp(a.constData(), b.constData(), a.size()) == 0;
    if (a == b)
        return true;
    // Broken UTF-8 would decode to the same replacement characters for different bytes.
    DecodedName da;
    DecodedName db;
    return decodeName(a, da) && decodeName(b, db)
        && QStringView(da.constData(), da.size()).compare(QStringView(db.constData(), db.size()), Qt::CaseInsensitive)
        == 0;
}

bool hasLineBreak(const QByteArray &text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

const QByteArray kBom("\xEF\xBB\xBF");

} // namespace

IniDocument::Line IniDocument::makeLine(const QByteArray &text, const QByteArray &eol)
{
    Line line;
    line.text = text;
    line.eol = eol;
    const QByteArrayView t = trimmedView(text);
    if (t.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (t.startsWith(';')) {
        line.kind = Kind::Comment;
    } else if (t.startsWith('[')) {
        line.kind = Kind::Section;
        const qsizetype close = t.indexOf(']');
        line.name = trimmed(cutAtNul(t.sliced(1, (close < 0 ? t.size() : close) - 1)));
    } else if (const qsizetype eq = t.indexOf('='); eq >= 0) {
        line.kind = Kind::Key;
        line.name = trimmed(cutAtNul(t.first(eq)));
        line.value = trimmed(cutAtNul(t.sliced(eq + 1)));
    } else {
        line.kind = Kind::Other;
        line.name = trimmed(cutAtNul(t));
    }
    return line;
}

IniDocument IniDocument::parse(const QByteArray &data)
{
    IniDocument doc;
    qsizetype pos = 0;
    if (data.startsWith(kBom)) {
        doc.m_bom = true;
        pos = kBom.size();
    }
    // Lines end at LF, CRLF or a lone CR (old Mac editors); each keeps its own ending.
    static const QByteArray kLf("\n"), kCrLf("\r\n"), kCr("\r");
    doc.m_lines.reserve(data.count('\n') + 1);
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        if (end == data.size()) {
            doc.m_lines.append(makeLine(data.sliced(pos), QByteArray()));
            break;
        }
        const qsizetype eolSize = (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') ? 2 : 1;
        const QByteArray &eol = eolSize == 2 ? kCrLf : data[end] == '\n' ? kLf : kCr;
        doc.m_lines.append(makeLine(data.sliced(pos, end - pos), eol));
        pos = end + eolSize;
    }
    return doc;
}

QByteArray IniDocument::serialize() const
{
    QByteArray out;
    if (m_bom)
        out += kBom;
    for (const Line &line : m_lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

QList<QByteArray> IniDocument::sectionNames() const
{
    QList<QByteArray> names;
    for (const Line &line : m_lines) {
        if (line.kind != Kind::Section || line.name.isEmpty())
            continue;
        bool seen = false;
        for (const QByteArray &name : std::as_const(names)) {
            if (sameName(name, line.name)) {
                seen = true;
                break;
            }
        }
        if (!seen)
            names.append(line.name);
    }
    return names;
}

QList<IniDocument::Range> IniDocument::sectionRanges(const QByteArray &sectionName) const
{
    const QByteArray section = trimmed(sectionName);
    QList<Range> ranges;
    Range *open = nullptr;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section)
            continue;
        if (open) {
            open->end = i;
            open = nullptr;
        }
        if (sameName(m_lines[i].name, section)) {
            ranges.append(Range{i, m_lines.size()});
            open = &ranges.last();
        }
    }
    return ranges;
}

// The last line of the section that is not blank (the header when it has none), so that
// added keys go before the blank lines that separate it from the next section.
qsizetype IniDocument::lastContentLine(const Range &range) const
{
    for (qsizetype i = range.end - 1; i > range.header; --i) {
        if (m_lines[i].kind != Kind::Blank)
            return i;
    }
    return range.header;
}

bool IniDocument::hasSection(const QByteArray &section) const
{
    return !sectionRanges(section).isEmpty();
}

QList<QByteArray> IniDocument::keys(const QByteArray &section) const
{
    QList<QByteArray> result;
    const QList<Range> ranges = sectionRanges(section);
    if (ranges.isEmpty())
        return result;
    for (qsizetype i = ranges.first().header + 1; i < ranges.first().end; ++i) {
        if (m_lines[i].kind == Kind::Key)
            result.append(m_lines[i].name);
    }
    return result;
}

QList<QByteArray> IniDocument::sectionLines(const QByteArray &section) const
{
    QList<QByteArray> result;
    const QList<Range> ranges = sectionRanges(section);
    if (ranges.isEmpty())
        return result;
    for (qsizetype i = ranges.first().header + 1; i < ranges.first().end; ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Key)
            result.append(line.name + '=' + line.value);
        else if (line.kind == Kind::Other && !line.name.isEmpty())
            result.append(line.name);
    }
    return result;
}

std::optional<QByteArray> IniDocument::value(const QByteArray &section, const QByteArray &key) const
{
    const QList<Range> ranges = sectionRanges(section);
    if (ranges.isEmpty())
        return std::nullopt;
    const QByteArray name = trimmed(key);
    for (qsizetype i = ranges.first().header + 1; i < ranges.first().end; ++i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, name)) {
            // One pair of double quotes around a value is not part of it.
            const QByteArray &v = m_lines[i].value;
            if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
                return v.sliced(1, v.size() - 2);
            return v;
        }
    }
    return std::nullopt;
}

// New lines follow the file's own convention, so a CRLF file stays CRLF.
QByteArray IniDocument::lineEnd() const
{
    for (const Line &line : m_lines) {
        if (!line.eol.isEmpty())
            return line.eol;
    }
    return QByteArrayLiteral("\n");
}

void IniDocument::terminateLastLine()
{
    if (!m_lines.isEmpty() && m_lines.last().eol.isEmpty())
        m_lines.last().eol = lineEnd();
}

bool IniDocument::setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray name = trimmed(key);
    const QByteArray sectionName = trimmed(section);
    const QList<Range> ranges = sectionRanges(sectionName);
    const QByteArray eol = lineEnd();
    if (ranges.isEmpty()) {
        terminateLastLine();
        m_lines.append(makeLine('[' + sectionName + ']', eol));
        m_lines.append(makeLine(name + '=' + value, eol));
        return true;
    }
    const Range range = ranges.first();
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        Line &line = m_lines[i];
        if (line.kind != Kind::Key || !sameName(line.name, name))
            continue;
        if (line.value == value)
            return false;
        line = makeLine(line.name + '=' + value, line.eol);
        return true;
    }
    const qsizetype after = lastContentLine(range);
    if (m_lines[after].eol.isEmpty())
        m_lines[after].eol = eol;
    m_lines.insert(after + 1, makeLine(name + '=' + value, m_lines[after].eol));
    return true;
}

bool IniDocument::removeKey(const QByteArray &section, const QByteArray &key)
{
    const QList<Range> ranges = sectionRanges(trimmed(section));
    if (ranges.isEmpty())
        return false;
    const QByteArray name = trimmed(key);
    bool changed = false;
    for (qsizetype i = ranges.first().end - 1; i > ranges.first().header; --i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, name)) {
            m_lines.removeAt(i);
            changed = true;
        }
    }
    return changed;
}

bool IniDocument::removeSection(const QByteArray &section)
{
    const QList<Range> ranges = sectionRanges(trimmed(section));
    for (qsizetype r = ranges.size() - 1; r >= 0; --r)
        m_lines.remove(ranges[r].header, ranges[r].end - ranges[r].header);
    return !ranges.isEmpty();
}

bool IniDocument::replaceSection(const QByteArray &section, const QList<QByteArray> &lines)
{
    const QByteArray sectionName = trimmed(section);
    const QList<Range> ranges = sectionRanges(sectionName);
    const QByteArray eol = lineEnd();
    QList<Line> body;
    for (const QByteArray &text : lines)
        body.append(makeLine(text, eol));

    if (ranges.isEmpty()) {
        terminateLastLine();
        m_lines.append(makeLine('[' + sectionName + ']', eol));
        m_lines.append(body);
        return true;
    }
    const Range range = ranges.first();
    const qsizetype last = lastContentLine(range);
    const QList<Line> old = m_lines.mid(range.header + 1, last - range.header);
    bool same = old.size() == body.size();
    for (qsizetype i = 0; same && i < old.size(); ++i)
        same = old[i].text == body[i].text;
    if (same)
        return false;
    // The last new line takes over the ending of the last old one (none at the end of a
    // file without a final line break).
    if (!body.isEmpty() && last > range.header)
        body.last().eol = m_lines[last].eol;
    if (m_lines[range.header].eol.isEmpty())
        m_lines[range.header].eol = eol;
    m_lines.remove(range.header + 1, last - range.header);
    for (qsizetype i = 0; i < body.size(); ++i)
        m_lines.insert(range.header + 1 + i, body[i]);
    return true;
}

bool IniDocument::isWritableSection(const QByteArray &section)
{
    return !trimmed(section).isEmpty() && !hasLineBreak(section) && !section.contains(']');
}

bool IniDocument::isWritableKey(const QByteArray &key)
{
    const QByteArray t = trimmed(key);
    return !hasLineBreak(key) && !key.contains('=') && !t.startsWith(';') && !t.startsWith('[');
}

bool IniDocument::isWritableValue(const QByteArray &value)
{
    return !hasLineBreak(value);
}

bool IniDocument::isWritableLine(const QByteArray &line)
{
    return !hasLineBreak(line) && !trimmed(line).startsWith('[');
}

} // namespace lumora
