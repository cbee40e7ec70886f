#include "host/mh/MhSequences.h"

namespace lumora {

namespace {

bool parseNumber(QByteArrayView text, int *number)
{
    bool ok = false;
    const qlonglong n = text.toByteArray().toLongLong(&ok);
    if (!ok || n < 1 || n > 0x7FFFFFFF)
        return false;
    *number = int(n);
    return true;
}

QList<MhSequences::Range> parseRanges(const QByteArray &spec)
{
    QList<MhSequences::Range> ranges;
    for (const QByteArray &token : spec.simplified().split(' ')) {
        const qsizetype dash = token.indexOf('-');
        int first = 0;
        int last = 0;
        if (dash < 0 ? parseNumber(token, &first)
                     : parseNumber(QByteArrayView(token).first(dash), &first)
                    && parseNumber(QByteArrayView(token).sliced(dash + 1), &last)) {
            if (dash < 0)
                last = first;
            if (first <= last)
                ranges.append({first, last});
        }
    }
    return ranges;
}

} // namespace

MhSequences MhSequences::parse(const QByteArray &text)
{
    MhSequences sequences;
    for (const QByteArray &raw : text.left(MaxBytes).split('\n')) {
        if (raw.isEmpty())
            continue;
        if ((raw.front() == ' ' || raw.front() == '\t') && !sequences.m_lines.isEmpty()) {
            Line &last = sequences.m_lines.last();
            last.raw += '\n' + raw;
            if (!last.name.isEmpty())
                last.ranges += parseRanges(raw);
            continue;
        }
        Line line;
        line.raw = raw;
        const qsizetype colon = raw.indexOf(':');
        if (colon > 0) {
            line.name = raw.left(colon).trimmed();
            line.ranges = parseRanges(raw.mid(colon + 1));
        }
        sequences.m_lines.append(line);
    }
    return sequences;
}

bool MhSequences::contains(const QStringList &names, int number) const
{
    for (const Line &line : m_lines) {
        if (line.name.isEmpty() || !names.contains(QString::fromUtf8(line.name)))
            continue;
        for (const Range &range : line.ranges) {
            if (number >= range.first && number <= range.last)
                return true;
        }
    }
    return false;
}

QByteArray MhSequences::without(const QStringList &names, int number) const
{
    QByteArray out;
    for (const Line &line : m_lines) {
        if (line.name.isEmpty() || !names.contains(QString::fromUtf8(line.name))) {
            out += line.raw + '\n';
            continue;
        }
        QByteArray spec;
        for (const Range &range : line.ranges) {
            QList<Range> parts;
            if (number < range.first || number > range.last) {
                parts.append(range);
            } else {
                if (range.first < number)
                    parts.append({range.first, number - 1});
                if (number < range.last)
                    parts.append({number + 1, range.last});
            }
            for (const Range &part : parts) {
                spec += ' ' + QByteArray::number(part.first);
                if (part.last != part.first)
                    spec += '-' + QByteArray::number(part.last);
            }
        }
        if (!spec.isEmpty())
            out += line.name + ':' + spec + '\n';
    }
    return out;
}

} // namespace lumora
