#include "host/common/MailHeaderText.h"

#include <QStringDecoder>

#include <optional>

namespace lumora {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Labels mail software writes that the converter knows under another name, or that
// are subsets of a wider charset whose extra characters real senders use anyway.
QByteArray canonicalCharset(QByteArray label)
{
    label = label.trimmed().toLower();
    // RFC 2231 language suffix: "utf-8*en".
    if (const qsizetype star = label.indexOf('*'); star >= 0)
        label.truncate(star);
    if (label == "utf8")
        return "utf-8";
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "cp936" || label == "euc-cn"
        || label == "x-euc-cn")
        return "gb18030";
    if (label == "iso-8859-1" || label == "latin1" || label == "iso8859-1" || label == "cp1252")
        return "windows-1252";
    if (label.startsWith("cp125") && label.size() == 6)
        return "windows-" + label.mid(2);
    if (label == "ks_c_5601-1987" || label == "euc-kr")
        return "windows-949";
    if (label == "x-sjis" || label == "shift-jis")
        return "shift_jis";
    return label;
}

// Raw bytes of no declared charset: UTF-8 where they are, U+FFFD where not.
QString rawText(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

qsizetype findEncodedWordEnd(QByteArrayView raw, qsizetype from, QByteArray *charset, char *encoding,
                             QByteArrayView *text)
{
    // "=?" charset "?" encoding "?" text "?=", with no blanks inside.
    const qsizetype q1 = raw.indexOf('?', from + 2);
    if (q1 < 0 || q1 == from + 2)
        return -1;
    if (q1 + 2 >= raw.size() || raw.at(q1 + 2) != '?')
        return -1;
    const char enc = raw.at(q1 + 1);
    if (enc != 'q' && enc != 'Q' && enc != 'b' && enc != 'B')
        return -1;
    const qsizetype textStart = q1 + 3;
    qsizetype end = textStart;
    while (end + 1 < raw.size() && !(raw.at(end) == '?' && raw.at(end + 1) == '=')) {
        if (isBlank(raw.at(end)))
            return -1;
        ++end;
    }
    if (end + 1 >= raw.size())
        return -1;
    const QByteArrayView cs = raw.sliced(from + 2, q1 - from - 2);
    for (char c : cs) {
        if (isBlank(c) || c == '?')
            return -1;
    }
    *charset = cs.toByteArray();
    *encoding = enc;
    *text = raw.sliced(textStart, end - textStart);
    return end + 2;
}

QByteArray decodeQ(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '_') {
            out.append(' ');
        } else if (c == '=' && i + 2 < text.size() && isxdigit(uchar(text.at(i + 1)))
                   && isxdigit(uchar(text.at(i + 2)))) {
            out.append(char(QByteArray::fromHex(text.sliced(i + 1, 2).toByteArray()).at(0)));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}

// The bytes of B-encoded text, or nothing when it is not base64 at all: a word that cannot
// be read is shown as written rather than as the garbage a lenient decoder makes of it. A
// missing pad is tolerated, as senders leave it off.
std::optional<QByteArray> decodeB(QByteArrayView text)
{
    qsizetype length = text.size();
    qsizetype pad = 0;
    while (length > 0 && text.at(length - 1) == '=' && pad < 2) {
        --length;
        ++pad;
    }
    for (char c : text.first(length)) {
        if (!isalnum(uchar(c)) && c != '+' && c != '/')
            return std::nullopt;
    }
    if (length % 4 == 1 || (pad > 0 && (length + pad) % 4 != 0))
        return std::nullopt;
    return QByteArray::fromBase64(text.first(length).toByteArray());
}

// Takes a quoted-string or comment off the front of raw (raw[pos] is the opener) and
// returns its content with quoted-pairs undone; pos moves past the closer.
QByteArray takeDelimited(QByteArrayView raw, qsizetype &pos, char open, char close)
{
    QByteArray content;
    int depth = 0;
    for (; pos < raw.size(); ++pos) {
        const char c = raw.at(pos);
        if (c == '\\' && pos + 1 < raw.size()) {
            content.append(raw.at(++pos));
            continue;
        }
        if (c == open && (open != close || depth == 0)) {
            if (depth++ > 0)
                content.append(c);
            continue;
        }
        if (c == close) {
            if (--depth == 0) {
                ++pos;
                return content;
            }
            content.append(c);
            continue;
        }
        content.append(c);
    }
    return content;
}

struct Mailbox
{
    QByteArray phrase; // display name, quotes undone, encoded words still encoded
    QByteArray address; // between the angle brackets, or the bare addr-spec
    QByteArray comment; // the first comment outside the angle brackets
    bool angle = false;
};

// Splits the first mailbox of an address list. Broken forms are common (unquoted commas
// and dots in names, "user at host (Name)"), so this reads rather than validates.
Mailbox firstMailbox(QByteArrayView raw)
{
    Mailbox box;
    QByteArray outside; // text outside quotes and comments, quotes undone
    qsizetype pos = 0;
    bool sawAngle = false;
    while (pos < raw.size()) {
        const char c = raw.at(pos);
        if (c == '"') {
            outside.append(takeDelimited(raw, pos, '"', '"'));
        } else if (c == '(') {
            const QByteArray comment = takeDelimited(raw, pos, '(', ')');
            if (box.comment.isEmpty())
                box.comment = comment;
        } else if (c == '<') {
            const qsizetype close = raw.indexOf('>', pos);
            box.phrase = outside;
            box.address = raw.sliced(pos + 1, (close < 0 ? raw.size() : close) - pos - 1).toByteArray();
            box.angle = true;
            sawAngle = true;
            break;
        } else if (c == ',' && outside.contains('@')) {
            break;
        } else if (c == ':' && !outside.contains('@')) {
            // A group: its members follow the colon.
            outside.clear();
            box.comment.clear();
            ++pos;
        } else if (c == ';') {
            break;
        } else {
            outside.append(c);
            ++pos;
        }
    }
    if (!sawAngle)
        box.address = outside;
    box.phrase = box.phrase.trimmed();
    box.address = box.address.trimmed();
    return box;
}

// A name made only of blanks, dots and quotes names nobody.
bool meaningful(const QString &name)
{
    for (QChar c : name) {
        if (!c.isSpace() && c != QLatin1Char('.') && c != QLatin1Char('"') && c != QLatin1Char('\''))
            return true;
    }
    return false;
}

// Any form of the at sign: the full-width and small ones pass for it on screen.
bool looksLikeAddress(const QString &name)
{
    return name.contains(QLatin1Char('@')) || name.contains(QChar(0xFF20)) || name.contains(QChar(0xFE6B));
}

} // namespace

QString MailHeaderText::decodeCharset(const QByteArray &charset, QByteArrayView bytes)
{
    const QByteArray label = canonicalCharset(charset);
    if (label == "utf-8" || label == "us-ascii" || label == "ascii" || label.isEmpty())
        return rawText(bytes);
    QStringDecoder decoder(label.constData());
    if (!decoder.isValid() && label.startsWith("x-"))
        decoder = QStringDecoder(label.mid(2).constData());
    if (!decoder.isValid())
        return rawText(bytes);
    return decoder.decode(bytes);
}

QString MailHeaderText::decode(QByteArrayView raw)
{
    QString out;
    QByteArray pendingCharset;
    QByteArray pendingBytes;
    QByteArray pendingRaw;
    bool pendingWord = false;
    auto flushWord = [&] {
        if (pendingWord)
            out += decodeCharset(pendingCharset, pendingBytes);
        pendingWord = false;
        pendingBytes.clear();
    };
    auto flushRaw = [&] {
        out += rawText(pendingRaw);
        pendingRaw.clear();
    };

    qsizetype pos = 0;
    while (pos < raw.size()) {
        if (raw.at(pos) == '=' && pos + 1 < raw.size() && raw.at(pos + 1) == '?') {
            QByteArray charset;
            char encoding = 0;
            QByteArrayView text;
            const qsizetype end = findEncodedWordEnd(raw, pos, &charset, &encoding, &text);
            const std::optional<QByteArray> bytes = end < 0 ? std::nullopt
                : (encoding == 'q' || encoding == 'Q')      ? std::optional(decodeQ(text))
                                                            : decodeB(text);
            if (bytes) {
                // Blanks between two encoded words are not part of the text.
                bool onlyBlanks = pendingWord;
                for (char c : std::as_const(pendingRaw))
                    onlyBlanks = onlyBlanks && isBlank(c);
                if (onlyBlanks) {
                    pendingRaw.clear();
                } else {
                    flushWord();
                    flushRaw();
                }
                if (pendingWord && canonicalCharset(charset) != canonicalCharset(pendingCharset))
                    flushWord();
                pendingWord = true;
                pendingCharset = charset;
                pendingBytes += *bytes;
                pos = end;
                continue;
            }
        }
        pendingRaw.append(raw.at(pos));
        ++pos;
        if (pendingWord && !isBlank(raw.at(pos - 1)))
            flushWord();
    }
    flushWord();
    flushRaw();
    return out;
}

QString MailHeaderText::senderName(QByteArrayView raw)
{
    Mailbox box = firstMailbox(raw);
    // A whole value sent as one encoded word ("=?koi8-r?B?...?=") hides its address in
    // the encoding; decode first, then read the structure.
    if (!box.angle && !box.address.contains('@') && raw.contains("=?")) {
        const QByteArray decoded = decode(raw).toUtf8();
        const Mailbox inner = firstMailbox(decoded);
        if (inner.angle || inner.address.contains('@'))
            box = inner;
    }
    QString name = oneLine(decode(box.angle ? box.phrase : box.comment));
    const QString address = oneLine(decode(box.address));
    if (meaningful(name)) {
        // A name that reads like an address ("support@bank.example" <x@evil.example>) would
        // pass for the sender's address: the real one goes first, where a long name cut
        // short on screen cannot push it out of sight.
        if (looksLikeAddress(name) && name.compare(address, Qt::CaseInsensitive) != 0)
            return (meaningful(address) ? address : QStringLiteral("<>")) + QStringLiteral(" (") + name
                + QLatin1Char(')');
        return name;
    }
    if (meaningful(address))
        return address;
    // "<>" (a bounce's null sender) names nobody: it shows as a missing sender does.
    if (box.angle)
        return {};
    return oneLine(decode(raw));
}

QByteArrayView MailHeaderText::withoutCutWord(QByteArrayView raw)
{
    // Encoded words hold no blanks: only the last run of non-blanks can hold the cut one,
    // after any complete words it starts with.
    qsizetype pos = raw.size();
    while (pos > 0 && !isBlank(raw.at(pos - 1)))
        --pos;
    qsizetype afterWords = pos;
    QByteArray charset;
    char encoding = 0;
    QByteArrayView text;
    for (pos = raw.indexOf("=?", pos); pos >= 0; pos = raw.indexOf("=?", pos)) {
        const qsizetype end = findEncodedWordEnd(raw, pos, &charset, &encoding, &text);
        if (end < 0)
            return raw.first(pos);
        pos = afterWords = end;
    }
    // A cut right after the "=" that may have begun one more word.
    if (raw.size() > afterWords && raw.endsWith('='))
        return raw.chopped(1);
    return raw;
}

QString MailHeaderText::oneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return out.simplified();
}

} // namespace lumora
