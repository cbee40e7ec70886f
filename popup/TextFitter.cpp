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

} // namespace

QString TextFitter::sanitize(const QString &text, bool *cut)
{
    return MailText::clean(text, MaxMeasured, cut);
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
