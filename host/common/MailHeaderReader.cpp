#include "host/common/MailHeaderReader.h"

#include "host/common/MailHeaderText.h"

#include "platform/core/RegularFile.h"

#include <QFileInfo>

#include <atomic>
#include <mutex>

#include <gmime/gmime.h>

namespace lumora {

namespace {

std::atomic<quint64> s_filesOpened{0};

void ensureGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// First token of a header value, lower-cased, for the priority keywords.
QByteArray firstWord(const QByteArray &value)
{
    QByteArray v = value.trimmed().toLower();
    qsizetype end = 0;
    while (end < v.size() && (QChar::isLetterOrNumber(uchar(v.at(end))) || v.at(end) == '-'))
        ++end;
    return v.left(end);
}

// The values the notifier reads, each the first occurrence, unfolded and cut to
// MaxFieldBytes: a popup shows a few dozen characters, so a megabyte subject is never
// decoded whole.
struct HeaderFields
{
    QByteArray subject;
    QByteArray from;
    QByteArray date;
    QByteArray importance;
    QByteArray xPriority;
    QByteArray priority;
};

QByteArray *fieldFor(HeaderFields &f, QByteArrayView name)
{
    const auto is = [&](const char *wanted) { return name.compare(wanted, Qt::CaseInsensitive) == 0; };
    QByteArray *slot = nullptr;
    if (is("Subject"))
        slot = &f.subject;
    else if (is("From"))
        slot = &f.from;
    else if (is("Date"))
        slot = &f.date;
    else if (is("Importance"))
        slot = &f.importance;
    else if (is("X-Priority"))
        slot = &f.xPriority;
    else if (is("Priority"))
        slot = &f.priority;
    // Only the first occurrence counts; a null value marks "not seen yet".
    return slot && slot->isNull() ? slot : nullptr;
}

void appendCapped(QByteArray *value, QByteArrayView text)
{
    const qsizetype room = MailHeaderReader::MaxFieldBytes - value->size();
    if (room > 0)
        value->append(text.first(qMin(room, text.size())));
}

HeaderFields readFields(const QByteArray &header)
{
    HeaderFields f;
    QByteArray *current = nullptr;
    qsizetype pos = 0;
    while (pos < header.size()) {
        qsizetype nl = header.indexOf('\n', pos);
        if (nl < 0)
            nl = header.size();
        QByteArrayView line(header.constData() + pos, nl - pos);
        pos = nl + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        if (line.front() == ' ' || line.front() == '\t') {
            // A folded line continues the field above; the line break itself is not text.
            if (current)
                appendCapped(current, line);
            continue;
        }
        current = nullptr;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        current = fieldFor(f, line.first(colon).trimmed());
        if (current) {
            *current = QByteArray(""); // seen, even when empty
            QByteArrayView value = line.sliced(colon + 1);
            while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
                value = value.sliced(1);
            appendCapped(current, value);
        }
    }
    // NUL bytes end C strings further down; show them as blanks.
    for (QByteArray *v : {&f.subject, &f.from, &f.date, &f.importance, &f.xPriority, &f.priority})
        v->replace('\0', ' ');
    return f;
}

} // namespace

QByteArray MailHeaderReader::headerBlock(const QByteArray &message)
{
    // The header ends at the first empty line, whichever line ending the writer used.
    qsizetype pos = 0;
    while (pos < message.size()) {
        const qsizetype nl = message.indexOf('\n', pos);
        if (nl < 0)
            break;
        const qsizetype next = nl + 1;
        if (next < message.size() && message.at(next) == '\n')
            return message.left(next + 1);
        if (next + 1 < message.size() && message.at(next) == '\r' && message.at(next + 1) == '\n')
            return message.left(next + 2);
        pos = next;
    }
    return message;
}

int MailHeaderReader::importanceFrom(const QByteArray &importance, const QByteArray &xPriority,
                                     const QByteArray &priority)
{
    const QByteArray imp = firstWord(importance);
    if (imp == "high")
        return 2;
    if (imp == "low")
        return 0;
    if (imp == "normal")
        return 1;
    // One digit 1 to 5, maybe followed by a comment ("1 (Highest)"); "10" or "0" is not
    // a priority at all.
    const QByteArray xp = xPriority.trimmed();
    if (!xp.isEmpty() && xp.at(0) >= '1' && xp.at(0) <= '5' && (xp.size() == 1 || !isdigit(uchar(xp.at(1))))) {
        const char c = xp.at(0);
        return c <= '2' ? 2 : (c == '3' ? 1 : 0);
    }
    const QByteArray pr = firstWord(priority);
    if (pr == "urgent")
        return 2;
    if (pr == "non-urgent")
        return 0;
    return 1;
}

MailHeaders MailHeaderReader::parse(const QByteArray &message)
{
    MailHeaders result;
    const QByteArray header = headerBlock(message.left(MaxHeaderBytes));
    const HeaderFields f = readFields(header);

    result.subject = MailHeaderText::oneLine(MailHeaderText::decode(f.subject));
    result.senderName = MailHeaderText::senderName(f.from);
    result.importance = importanceFrom(f.importance, f.xPriority, f.priority);
    if (!f.date.isEmpty()) {
        ensureGMime();
        if (GDateTime *date = g_mime_utils_header_decode_date(f.date.constData())) {
            result.date = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date), Qt::LocalTime);
            g_date_time_unref(date);
        }
    }
    return result;
}

MailHeaders MailHeaderReader::parseFile(const QString &path, const QString &within, QString *error)
{
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return MailHeaders();
    };
    const auto inside = [&within](const QString &resolved) {
        return resolved.startsWith(within.endsWith(QLatin1Char('/')) ? within : within + QLatin1Char('/'));
    };
    // A file moved or deleted since it was listed is no fault worth a word.
    const auto gone = [&path] { return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink(); };
    RegularFile file;
    if (within.isEmpty()) {
        if (!file.openForReading(path))
            return gone() ? MailHeaders() : refuse(file.errorString());
    } else {
        // The links resolved first, so that the file opened is the one checked; the opened
        // descriptor is checked again, as a directory on the way may be swapped meanwhile.
        const QString resolved = QFileInfo(path).canonicalFilePath();
        if (resolved.isEmpty())
            return gone() ? MailHeaders() : refuse(QStringLiteral("%1 leads nowhere and is not read").arg(path));
        if (!inside(resolved))
            return refuse(QStringLiteral("%1 leads outside its store (to %2) and is not read").arg(path, resolved));
        if (!file.openForReading(resolved, RegularFile::Links::Refuse))
            return gone() ? MailHeaders() : refuse(file.errorString());
        const QString opened = file.openedPath();
        if (!opened.isEmpty() && !inside(opened))
            return refuse(QStringLiteral("%1 leads outside its store (to %2) and is not read").arg(path, opened));
    }
    ++s_filesOpened;
    // Read in chunks until the header ends, so a large body is never read.
    QByteArray data;
    while (data.size() < MaxHeaderBytes) {
        const qsizetype before = data.size();
        if (!file.read(qMin<qint64>(64 * 1024, MaxHeaderBytes - before), &data))
            return refuse(file.errorString());
        if (data.size() == before)
            break;
        const qsizetype searchFrom = qMax<qsizetype>(0, before - 3);
        if (data.indexOf("\n\n", searchFrom) >= 0 || data.indexOf("\n\r\n", searchFrom) >= 0)
            break;
    }
    return parse(data);
}

quint64 MailHeaderReader::filesOpened()
{
    return s_filesOpened.load();
}

} // namespace lumora
