#include "platform/core/RegFile.h"

#include <QHash>
#include <QStringDecoder>

namespace lumora {

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");

QString decode(const QByteArray &bytes, int *errors)
{
    if (bytes.startsWith("\xFF\xFE")) {
        // regedit's own exports are UTF-16LE with a byte-order mark.
        QByteArray body = bytes.mid(2);
        if (body.size() % 2) {
            ++*errors;
            body.chop(1);
        }
        QStringDecoder toUtf16(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        const QString text = toUtf16(body);
        // Lone surrogates cannot be written back as UTF-8; settle them now so that what
        // we return is exactly what a later write stores.
        return QString::fromUtf8(text.toUtf8());
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    return QString::fromUtf8(bytes);
}

// Reads a quoted string starting at text[pos] == '"'; leaves pos after the closing quote.
bool readQuoted(const QString &text, qsizetype &pos, QString *out)
{
    out->clear();
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c == u'"')
            return true;
        if (c == u'\\' && pos < text.size()) {
            const QChar e = text.at(pos);
            if (e == u'\\' || e == u'"') {
                out->append(e);
                ++pos;
                continue;
            }
            if (e == u'n' || e == u'r') {
                out->append(e == u'n' ? u'\n' : u'\r');
                ++pos;
                continue;
            }
        }
        out->append(c);
    }
    return false;
}

QString quoted(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out.append(u'"');
    for (const QChar c : s) {
        if (c == u'\\' || c == u'"')
            out.append(u'\\').append(c);
        else if (c == u'\n')
            out.append(QLatin1String("\\n"));
        else if (c == u'\r')
            out.append(QLatin1String("\\r"));
        else
            out.append(c);
    }
    out.append(u'"');
    return out;
}

bool onlyBlank(const QString &text, qsizetype pos)
{
    for (; pos < text.size(); ++pos) {
        if (!text.at(pos).isSpace())
            return false;
    }
    return true;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Parses 1 to 8 hex digits, the whole of text (blanks around allowed).
bool parseHex32(QStringView text, quint32 *out)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 8)
        return false;
    quint32 v = 0;
    for (const QChar c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return false;
        v = (v << 4) | quint32(d);
    }
    *out = v;
    return true;
}

bool parseHexBytes(QStringView text, QByteArray *out)
{
    out->clear();
    for (QStringView token : text.split(u',')) {
        token = token.trimmed();
        if (token.isEmpty())
            continue;
        if (token.size() > 2)
            return false;
        quint32 v = 0;
        if (!parseHex32(token, &v))
            return false;
        out->append(char(v));
    }
    return true;
}

// The data part of a value line: a quoted string, dword:, hex: or hex(N):.
bool parseData(const QString &data, RegFile::Value *value)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        QString text;
        if (!readQuoted(data, pos, &text) || !onlyBlank(data, pos))
            return false;
        value->type = 1;
        value->data = text.toUtf8();
        value->data.append('\0');
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        quint32 v = 0;
        if (!parseHex32(QStringView(data).mid(6), &v))
            return false;
        value->type = 4;
        value->data = QByteArray(4, '\0');
        for (int i = 0; i < 4; ++i)
            value->data[i] = char((v >> (8 * i)) & 0xFF);
        return true;
    }
    if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        value->type = 3;
        return parseHexBytes(QStringView(data).mid(4), &value->data);
    }
    if (data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(QLatin1String("):"));
        quint32 type = 0;
        if (close < 0 || !parseHex32(QStringView(data).mid(4, close - 4), &type))
            return false;
        value->type = type;
        return parseHexBytes(QStringView(data).mid(close + 2), &value->data);
    }
    return false;
}

class Builder
{
public:
    RegFile::Parsed parsed;

    // Index of the key for a section, merging repeated ones; -1 for an unusable path.
    int section(const QString &rawPath)
    {
        const QStringList parts = RegFile::splitPath(rawPath);
        // "[\-X]" loses its empty first segment; written back as "[-X]" it would delete X.
        if (parts.isEmpty() || parts.first().startsWith(u'-'))
            return -1;
        const QString path = parts.join(u'\\');
        const QString folded = path.toCaseFolded();
        const auto it = m_keyIndex.constFind(folded);
        if (it != m_keyIndex.cend())
            return *it;
        parsed.keys.append(RegFile::Key{path, {}});
        m_valueIndex.append(QHash<QString, int>());
        m_keyIndex.insert(folded, int(parsed.keys.size() - 1));
        return int(parsed.keys.size() - 1);
    }

    void setValue(int key, RegFile::Value value)
    {
        QHash<QString, int> &names = m_valueIndex[key];
        QList<RegFile::Value> &values = parsed.keys[key].values;
        const QString folded = value.name.toCaseFolded();
        const auto it = names.constFind(folded);
        if (it != names.cend()) {
            values[*it].type = value.type;
            values[*it].data = value.data;
            return;
        }
        names.insert(folded, int(values.size()));
        values.append(std::move(value));
    }

private:
    QHash<QString, int> m_keyIndex;
    QList<QHash<QString, int>> m_valueIndex;
};

} // namespace

QStringList RegFile::splitPath(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

RegFile::Parsed RegFile::parse(const QByteArray &bytes)
{
    Builder b;
    int &errors = b.parsed.errorCount;
    const QString text = decode(bytes, &errors);
    // LF, CRLF and a lone CR (old Mac editors) all end a line.
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const QStringList lines = unified.split(u'\n');

    bool seenContent = false;
    int current = -1;
    bool inBadSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line == kHeader5 || line == kHeader4) {
            seenContent = true;
            continue;
        }
        if (!seenContent) {
            ++errors; // no header: read on, but the file is not one we wrote
            seenContent = true;
        }
        if (line.startsWith(u'[')) {
            current = -1;
            inBadSection = true;
            if (line.endsWith(u']') && line.size() >= 2 && !line.startsWith(QLatin1String("[-")))
                current = b.section(line.mid(1, line.size() - 2));
            if (current < 0)
                ++errors;
            else
                inBadSection = false;
            continue;
        }

        Value value;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            if (!readQuoted(line, pos, &value.name)) {
                ++errors;
                continue;
            }
        } else {
            ++errors;
            continue;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != u'=') {
            ++errors;
            continue;
        }
        QString data = line.mid(pos + 1).trimmed();
        if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            // Long binary data continues on the next lines after a trailing backslash.
            while (data.endsWith(u'\\') && i + 1 < lines.size()) {
                data.chop(1);
                data.append(lines.at(++i).trimmed());
            }
            if (data.endsWith(u'\\'))
                data.chop(1);
        }
        if (current < 0) {
            // Values outside a readable section are lost with it; count that once.
            if (!inBadSection)
                ++errors;
            inBadSection = true;
            continue;
        }
        if (!parseData(data, &value)) {
            ++errors;
            continue;
        }
        b.setValue(current, std::move(value));
    }
    return std::move(b.parsed);
}

namespace {

bool isPlainText(const QByteArray &data)
{
    if (data.isEmpty() || data.back() != '\0')
        return false;
    const QByteArray body = data.first(data.size() - 1);
    if (body.contains('\0'))
        return false;
    return QString::fromUtf8(body).toUtf8() == body;
}

void appendHex(QString &out, const QString &prefix, const QByteArray &data)
{
    static const char digits[] = "0123456789abcdef";
    out.append(prefix);
    qsizetype column = prefix.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        const uchar b = uchar(data.at(i));
        out.append(QLatin1Char(digits[b >> 4])).append(QLatin1Char(digits[b & 0xF]));
        column += 2;
        if (i + 1 < data.size()) {
            out.append(u',');
            ++column;
            if (column > 76) {
                out.append(QLatin1String("\\\n  "));
                column = 2;
            }
        }
    }
}

} // namespace

QByteArray RegFile::serialise(const QList<Key> &keys)
{
    QString out = kHeader5 + QLatin1String("\n\n");
    for (const Key &key : keys) {
        out.append(u'[').append(key.path).append(QLatin1String("]\n"));
        for (const Value &v : key.values) {
            QString line = v.name.isEmpty() ? QStringLiteral("@=") : quoted(v.name) + u'=';
            if (v.type == 1 && isPlainText(v.data)) {
                line.append(quoted(QString::fromUtf8(v.data.first(v.data.size() - 1))));
            } else if (v.type == 4 && v.data.size() == 4) {
                quint32 d = 0;
                for (int i = 3; i >= 0; --i)
                    d = (d << 8) | uchar(v.data.at(i));
                line.append(QStringLiteral("dword:%1").arg(d, 8, 16, QLatin1Char('0')));
            } else {
                const QString prefix =
                    v.type == 3 ? QStringLiteral("hex:") : QStringLiteral("hex(%1):").arg(v.type, 0, 16);
                QString data;
                appendHex(data, prefix, v.data);
                line.append(data);
            }
            out.append(line).append(u'\n');
        }
        out.append(u'\n');
    }
    return out.toUtf8();
}

} // namespace lumora
