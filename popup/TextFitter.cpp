#include "popup/TextFitter.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

const QString Ellipsis = QStringLiteral("...");

// Characters of text[from..] that fit on one line of the given width, breaking anywhere.
qsizetype prefixFitting(const QString &text, const QFont &font, qreal width)
{
    if (width <= 0 || text.isEmpty())
        return 0;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    qsizetype length = 0;
    if (line.isValid()) {
        line.setLineWidth(width);
        length = line.textLength();
        // A single grapheme wider than the box still overflows; leave it out.
        if (line.naturalTextWidth() > width)
            length = 0;
    }
    layout.endLayout();
    return length;
}

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

} // namespace

QString TextFitter::sanitize(const QString &text, bool *cut)
{
    const qsizetype size = text.size();
    qsizetype end = std::min<qsizetype>(size, MaxMeasured);
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
        } else if (isDirectionOrInvisible(c.unicode())) {
            // Dropped: they would reorder the text ("invoice" U+202E "fdp.exe" showing as
            // "invoiceexe.pdf") or hide characters between visible ones.
            marks = 0;
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator) {
            // Line breaks from a header would break the fixed layout; show them as blanks.
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

QString TextFitter::fit(const QString &text, const QFont &font, const QSize &box)
{
    if (text.isEmpty())
        return text;
    bool cut = false;
    const QString clean = sanitize(text, &cut);
    const QFontMetricsF metrics(font);
    const qreal width = box.width();
    const int maxLines = std::max(1, int(std::floor(box.height() / std::max<qreal>(1.0, metrics.height()))));

    QTextLayout layout(clean, font);
    QTextOption option;
    // Long words break inside, as an edit control would wrap them.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    qsizetype lastStart = 0;
    bool overflow = cut;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        if (lines == maxLines) {
            overflow = true;
            break;
        }
        line.setLineWidth(width);
        lastStart = line.textStart();
        ++lines;
    }
    layout.endLayout();
    if (!overflow)
        return clean;

    // The last visible line keeps as much as fits beside the ellipsis.
    const QString head = clean.left(lastStart);
    QString tail = clean.mid(lastStart, 256);
    if (!tail.isEmpty() && tail.back().isHighSurrogate())
        tail.chop(1);
    const qsizetype keep = prefixFitting(tail, font, width - metrics.horizontalAdvance(Ellipsis));
    QString result = head + tail.left(keep);
    while (!result.isEmpty() && result.back().isSpace())
        result.chop(1);
    return result + Ellipsis;
}

} // namespace lumora
