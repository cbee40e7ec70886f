#include "platform/core/MailText.h"

#include <QStringList>

#include <algorithm>

namespace lumora {

namespace {

constexpr char16_t Esc = 0x1b;
// Longest escape sequence and control string looked for; what runs longer is no sequence a
// terminal would finish either, and is shown (its introducer as a blank).
constexpr qsizetype MaxSequence = 64;
constexpr qsizetype MaxControlString = 512;

bool isDirectionOrInvisible(char16_t u)
{
    // U+00AD, the soft hyphen, draws nothing inside a line: it would split a word unseen.
    return (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || (u >= 0x200b && u <= 0x200f)
        || (u >= 0x2060 && u <= 0x2064) || u == 0xfeff || u == 0x061c || u == 0x180e || u == 0x00ad;
}

// The tag characters (U+E0000 to U+E007F) mirror ASCII but draw nothing, so they can carry
// hidden text.
bool isTag(char32_t code)
{
    return code >= 0xe0000 && code <= 0xe007f;
}

// Units of the terminal escape sequence starting at text[i], or 0 when none starts there:
// CSI ("ESC [" or U+009B, parameters, a final byte), control strings (OSC, DCS, SOS, PM,
// APC, ended by BEL or ST), and the short "ESC, intermediates, final" forms.
qsizetype escapeLength(const QString &text, qsizetype i)
{
    const qsizetype size = text.size();
    const char16_t c = text.at(i).unicode();
    const auto at = [&](qsizetype k) { return k < size ? text.at(k).unicode() : char16_t(0); };
    bool csi = false;
    qsizetype j = i + 1;
    if (c == 0x9b) {
        csi = true;
    } else if (c == 0x9d || c == 0x90 || c == 0x98 || c == 0x9e || c == 0x9f) {
        csi = false;
    } else if (c == Esc) {
        const char16_t next = at(i + 1);
        j = i + 2;
        if (next == '[') {
            csi = true;
        } else if (next == ']' || next == 'P' || next == 'X' || next == '^' || next == '_') {
            csi = false;
        } else {
            j = i + 1;
            while (j < size && j - i < MaxSequence && at(j) >= 0x20 && at(j) <= 0x2f)
                ++j;
            return at(j) >= 0x30 && at(j) <= 0x7e ? j + 1 - i : 0;
        }
    } else {
        return 0;
    }
    if (csi) {
        for (; j < size && j - i < MaxSequence; ++j) {
            const char16_t u = at(j);
            if (u >= 0x40 && u <= 0x7e)
                return j + 1 - i;
            if (u < 0x20 || u > 0x3f)
                return 0;
        }
        return 0;
    }
    for (; j < size && j - i < MaxControlString; ++j) {
        const char16_t u = at(j);
        if (u == 0x07 || u == 0x9c)
            return j + 1 - i;
        if (u == Esc)
            return at(j + 1) == '\\' ? j + 2 - i : 0;
    }
    return 0;
}

} // namespace

QString MailText::clean(const QString &text, int maxChars, bool *cut)
{
    const qsizetype size = text.size();
    qsizetype end = std::clamp<qsizetype>(maxChars, 0, size);
    if (end < size && end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    if (cut)
        *cut = end < size;

    QString out;
    out.reserve(end);
    int marks = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < end && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            marks = QChar::isMark(code) ? marks + 1 : 0;
            if (isTag(code)) {
                marks = 0;
            } else if (marks <= MaxMarks) {
                out.append(c);
                out.append(text.at(i + 1));
            }
            ++i;
        } else if (c.isSurrogate()) {
            marks = 0;
            out.append(QChar::ReplacementCharacter);
        } else if (const qsizetype sequence = escapeLength(text, i); sequence > 0) {
            // A terminal would act on it (colour, clear, retitle the window) rather than show
            // it; no surface shows it at all. It may run past the cut, and is dropped whole.
            marks = 0;
            i += sequence - 1;
        } else if (isDirectionOrInvisible(c.unicode())) {
            // Dropped: they would reorder the text ("invoice" U+202E "fdp.exe" showing as
            // "invoiceexe.pdf") or hide characters between visible ones.
            marks = 0;
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator) {
            // Line breaks from a header would break a one-line layout; show them as blanks.
            marks = 0;
            out.append(QLatin1Char(' '));
        } else {
            marks = c.isMark() ? marks + 1 : 0;
            // Piles of combining marks draw nothing readable and cost a lot to shape.
            if (marks <= MaxMarks)
                out.append(c);
        }
    }
    return out;
}

QString MailText::forDisplay(const QString &text, int maxChars)
{
    if (maxChars <= 0)
        return {};
    // The mark takes the place of the last unit, so the result never exceeds maxChars.
    bool cut = false;
    QString out = clean(text, text.size() > maxChars ? maxChars - 1 : maxChars, &cut);
    if (!cut)
        return out;
    while (!out.isEmpty() && out.back().isSpace())
        out.chop(1);
    return out + ellipsis();
}

QString MailText::forMarkup(const QString &text, int maxChars)
{
    return forDisplay(text, maxChars).toHtmlEscaped();
}

QString MailText::linesForDisplay(const QString &text, int maxChars)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = forDisplay(line, maxChars);
    return lines.join(QLatin1Char('\n'));
}

} // namespace lumora
