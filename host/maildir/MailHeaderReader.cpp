#include "host/maildir/MailHeaderReader.h"

#include <QFile>

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

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text).trimmed() : QString();
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
    const QByteArray xp = xPriority.trimmed();
    if (!xp.isEmpty() && xp.at(0) >= '1' && xp.at(0) <= '5') {
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
    QByteArray header = headerBlock(message.left(MaxHeaderBytes));
    if (header.isEmpty())
        return result;
    // GMime ends a header value at a NUL byte; keep what follows it readable.
    header.replace('\0', ' ');
    // GMime needs the empty line to know the header block is complete.
    if (!header.endsWith("\n\n") && !header.endsWith("\r\n\r\n"))
        header.append("\n\n");

    ensureGMime();
    GMimeStream *stream = g_mime_stream_mem_new_with_buffer(header.constData(), size_t(header.size()));
    GMimeParser *parser = g_mime_parser_new_with_stream(stream);
    g_object_unref(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MESSAGE);
    GMimeMessage *message_ = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    if (!message_)
        return result;

    result.subject = fromUtf8(g_mime_message_get_subject(message_));
    if (InternetAddressList *from = g_mime_message_get_from(message_)) {
        if (internet_address_list_length(from) > 0) {
            InternetAddress *address = internet_address_list_get_address(from, 0);
            result.senderName = fromUtf8(internet_address_get_name(address));
            if (result.senderName.isEmpty() && INTERNET_ADDRESS_IS_MAILBOX(address))
                result.senderName = fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
        }
    }
    GMimeObject *object = GMIME_OBJECT(message_);
    result.importance =
        importanceFrom(g_mime_object_get_header(object, "Importance"), g_mime_object_get_header(object, "X-Priority"),
                       g_mime_object_get_header(object, "Priority"));
    if (GDateTime *date = g_mime_message_get_date(message_)) {
        const gint64 seconds = g_date_time_to_unix(date);
        result.date = QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
    }
    g_object_unref(message_);
    // Control characters from broken encodings and the blanks of folded lines would only
    // garble a one-line display.
    for (QString *text : {&result.subject, &result.senderName}) {
        for (QChar &c : *text) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                c = QLatin1Char(' ');
        }
        *text = text->simplified();
    }
    return result;
}

MailHeaders MailHeaderReader::parseFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    ++s_filesOpened;
    // Read in chunks until the header ends, so a large body is never read.
    QByteArray data;
    while (data.size() < MaxHeaderBytes) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        const qsizetype searchFrom = qMax<qsizetype>(0, data.size() - 3);
        data.append(chunk);
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
