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

// One value the notifier reads: the first occurrence, unfolded and cut to MaxRawFieldBytes,
// so a megabyte subject is never decoded whole.
struct Field
{
    QByteArray text;
    bool cut = false;
};

struct HeaderFields
{
    Field subject;
    Field from;
    Field date;
    Field importance;
    Field xPriority;
    Field priority;
    Field messageId;
    Field received;
};

Field *fieldFor(HeaderFields &f, QByteArrayView name)
{
    const auto is = [&](const char *wanted) { return name.compare(wanted, Qt::CaseInsensitive) == 0; };
    Field *slot = nullptr;
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
    else if (is("Message-ID"))
        slot = &f.messageId;
    else if (is("Received"))
        slot = &f.received;
    // Only the first occurrence counts; a null value marks "not seen yet".
    return slot && slot->text.isNull() ? slot : nullptr;
}

void appendCapped(Field *field, QByteArrayView text)
{
    const qsizetype room = MailHeaderReader::MaxRawFieldBytes - field->text.size();
    if (text.size() > room)
        field->cut = true;
    if (room > 0)
        field->text.append(text.first(qMin(room, text.size())));
}

// Lines end in LF or CRLF. A header with no LF before its end (an empty line of CR alone)
// was written with CR-only lines, as old Macs wrote them, and is read as if they were LF;
// a stray CR inside an LF line stays part of its text.
QByteArray withLineFeeds(const QByteArray &message)
{
    const qsizetype lf = message.indexOf('\n');
    qsizetype emptyLine = message.indexOf("\r\r");
    while (emptyLine >= 0 && emptyLine + 2 < message.size() && message.at(emptyLine + 2) == '\n')
        emptyLine = message.indexOf("\r\r", emptyLine + 1); // CR CR LF: a doubled CRLF
    const bool crOnly = lf < 0 ? message.contains('\r') : (emptyLine >= 0 && emptyLine < lf);
    if (!crOnly)
        return message;
    QByteArray out = message;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out.at(i) == '\r' && (i + 1 >= out.size() || out.at(i + 1) != '\n'))
            out[i] = '\n';
    }
    return out;
}

HeaderFields readFields(const QByteArray &header)
{
    HeaderFields f;
    Field *current = nullptr;
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
            current->text = QByteArray(""); // seen, even when empty
            QByteArrayView value = line.sliced(colon + 1);
            while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
                value = value.sliced(1);
            appendCapped(current, value);
        }
    }
    for (Field *v :
         {&f.subject, &f.from, &f.date, &f.importance, &f.xPriority, &f.priority, &f.messageId, &f.received}) {
        // NUL bytes end C strings further down; show them as blanks.
        v->text.replace('\0', ' ');
        if (v->cut)
            v->text = MailHeaderText::withoutCutWord(v->text).toByteArray();
    }
    return f;
}

// Decoded text of at most MaxFieldChars, ending in "…" where the value was cut, before
// decoding or now.
QString capped(QString text, bool cut)
{
    if (text.size() > MailHeaderReader::MaxFieldChars) {
        qsizetype end = MailHeaderReader::MaxFieldChars;
        if (text.at(end - 1).isHighSurrogate())
            --end;
        text.truncate(end);
        cut = true;
    }
    if (!cut)
        return text;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text + QStringLiteral("\u2026");
}

QDateTime headerDate(const QByteArray &text)
{
    if (text.isEmpty())
        return {};
    ensureGMime();
    GDateTime *date = g_mime_utils_header_decode_date(text.constData());
    if (!date)
        return {};
    const QDateTime result = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date), Qt::LocalTime);
    g_date_time_unref(date);
    return result;
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
    const QByteArray header = headerBlock(withLineFeeds(message.left(MaxHeaderBytes)));
    const HeaderFields f = readFields(header);

    result.subject = capped(MailHeaderText::oneLine(MailHeaderText::decode(f.subject.text)), f.subject.cut);
    result.senderName = capped(MailHeaderText::senderName(f.from.text), f.from.cut);
    result.importance = importanceFrom(f.importance.text, f.xPriority.text, f.priority.text);
    result.date = headerDate(f.date.text);
    // A cut value is no id at all: two long ids sharing their first bytes would be taken
    // for one message.
    if (!f.messageId.cut) {
        QByteArray id = f.messageId.text.trimmed();
        if (id.startsWith('<') && id.endsWith('>'))
            id = id.sliced(1, id.size() - 2).trimmed();
        if (!id.contains(' ') && !id.contains('\t'))
            result.messageId = id;
    }
    // The date is what follows the last ';' of the trace line.
    const qsizetype semicolon = f.received.text.lastIndexOf(';');
    if (semicolon >= 0 && !f.received.cut)
        result.received = headerDate(f.received.text.sliced(semicolon + 1).trimmed());
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
        // CR-only lines (no LF at all so far): the header ends at an empty one.
        if (data.indexOf("\r\r", searchFrom) >= 0 && !data.contains('\n'))
            break;
    }
    return parse(data);
}

quint64 MailHeaderReader::filesOpened()
{
    return s_filesOpened.load();
}

} // namespace lumora
