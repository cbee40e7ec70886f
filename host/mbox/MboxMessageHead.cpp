#include "host/mbox/MboxMessageHead.h"

#include "host/common/MailHeaderReader.h"

#include <QList>
#include <QTimeZone>

namespace lumora {

namespace {

// FNV-1a: stable across runs and Qt versions, unlike qHash.
quint64 fnv1a(quint64 h, QByteArrayView bytes)
{
    for (const char c : bytes) {
        h ^= quint8(c);
        h *= 1099511628211ULL;
    }
    return h;
}

bool startsWithName(QByteArrayView line, QByteArrayView name)
{
    return line.size() > name.size() && line.first(name.size()).compare(name, Qt::CaseInsensitive) == 0
        && line.at(name.size()) == ':';
}

int monthOf(QByteArrayView token)
{
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i) {
        if (token.compare(QByteArrayView(months[i]), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool isWeekday(QByteArrayView token)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (const char *day : days) {
        if (token.compare(QByteArrayView(day), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QDateTime MboxMessageHead::fromLineDate(const QByteArray &line)
{
    const QList<QByteArray> tokens = line.simplified().split(' ');
    // The sender may hold blanks when quoted, so the date is found by its shape.
    for (qsizetype i = 1; i + 4 < tokens.size(); ++i) {
        if (!isWeekday(tokens.at(i)))
            continue;
        const int month = monthOf(tokens.at(i + 1));
        bool dayOk = false;
        const int day = tokens.at(i + 2).toInt(&dayOk);
        const QTime time =
            QTime::fromString(QString::fromLatin1(tokens.at(i + 3)),
                              tokens.at(i + 3).count(':') == 2 ? QStringLiteral("H:mm:ss") : QStringLiteral("H:mm"));
        if (!month || !dayOk || !time.isValid())
            continue;
        // Some writers put a zone between the time and the year.
        qsizetype yearAt = i + 4;
        int offsetSecs = 0;
        bool zoned = false;
        const QByteArray &maybeZone = tokens.at(yearAt);
        if ((maybeZone.startsWith('+') || maybeZone.startsWith('-')) && maybeZone.size() == 5
            && yearAt + 1 < tokens.size()) {
            bool ok = false;
            const int hhmm = maybeZone.mid(1).toInt(&ok);
            if (ok) {
                offsetSecs = (hhmm / 100 * 3600 + hhmm % 100 * 60) * (maybeZone.startsWith('-') ? -1 : 1);
                zoned = true;
                ++yearAt;
            }
        }
        bool yearOk = false;
        const int year = tokens.at(yearAt).toInt(&yearOk);
        const QDate date(year, month, day);
        if (!yearOk || !date.isValid() || year < 1970)
            continue;
        return zoned ? QDateTime(date, time, QTimeZone(offsetSecs)).toLocalTime() : QDateTime(date, time);
    }
    return {};
}

MboxMessageHead MboxMessageHead::parse(const QByteArray &bytes)
{
    MboxMessageHead head;
    qsizetype eol = bytes.indexOf('\n');
    const QByteArray fromLine = bytes.left(eol < 0 ? bytes.size() : eol);
    QByteArray messageId;
    QByteArrayView status;
    QByteArrayView mozilla;
    bool inMessageId = false;
    qsizetype pos = eol < 0 ? bytes.size() : eol + 1;
    qsizetype headerStart = pos;
    qsizetype headerEnd = -1;
    while (pos < bytes.size()) {
        eol = bytes.indexOf('\n', pos);
        if (eol < 0)
            break; // a line still being written: the block is not complete yet
        QByteArrayView line(bytes.constData() + pos, eol - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = eol + 1;
        if (line.isEmpty()) {
            headerEnd = pos;
            head.complete = true;
            break;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            if (inMessageId)
                messageId += line.trimmed().toByteArray();
            continue;
        }
        inMessageId = startsWithName(line, "Message-ID");
        if (inMessageId)
            messageId = line.sliced(11).trimmed().toByteArray();
        else if (startsWithName(line, "Status"))
            status = line.sliced(7).trimmed();
        else if (startsWithName(line, "X-Mozilla-Status"))
            mozilla = line.sliced(17).trimmed();
    }
    head.seen = status.contains('R');
    head.old = status.contains('O');
    if (!mozilla.isEmpty()) {
        bool ok = false;
        const uint flags = mozilla.toByteArray().toUInt(&ok, 16);
        // 0x1 read, 0x8 expunged: an expunged message waits for compaction, it is no mail.
        if (ok && (flags & 0x9)) {
            head.seen = true;
            head.old = true;
        }
    }
    head.identity = fnv1a(fnv1a(14695981039346656037ULL, fromLine), messageId);
    head.received = fromLineDate(fromLine);
    if (!head.received.isValid()) {
        const qsizetype end = headerEnd < 0 ? bytes.size() : headerEnd;
        head.received = MailHeaderReader::parse(bytes.mid(headerStart, end - headerStart)).date;
    }
    return head;
}

} // namespace lumora
