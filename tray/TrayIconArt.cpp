#include "tray/TrayIconArt.h"

#include "tray/UnreadIconEngine.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

void drawEnvelope(QPainter &p, int size, bool greyed)
{
    const qreal line = std::max(1.0, std::round(size / 16.0));
    // Half-pixel offset keeps odd-width outlines on whole pixels.
    const qreal half = line / 2.0;
    const qreal left = std::round(size * 0.03) + half;
    const qreal right = size - std::round(size * 0.03) - half;
    const qreal top = std::round(size * 0.19) + half;
    const qreal bottom = size - std::round(size * 0.16) - half;

    const QColor outline = greyed ? QColor(0x55, 0x55, 0x55) : QColor(0x22, 0x2a, 0x33);
    const QColor fill = greyed ? QColor(0xb4, 0xb4, 0xb4) : QColor(0xfa, 0xfa, 0xf7);
    const QColor flap = greyed ? QColor(0x9c, 0x9c, 0x9c) : QColor(0xe2, 0xe6, 0xec);

    QPen pen(outline, line);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(fill);
    p.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));

    // The flap: a shaded triangle from the top corners down to the middle.
    const qreal midY = top + (bottom - top) * 0.55;
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo((left + right) / 2.0, midY);
    path.lineTo(right, top);
    p.setBrush(flap);
    p.drawPath(path);
}

// The badge sits in the bottom-right corner, its edges on whole pixels.
qreal badgeRadius(int size)
{
    return std::max(4.5, std::round(size * 0.5) / 2.0);
}

QPointF badgeCentre(int size)
{
    const qreal r = badgeRadius(size);
    return QPointF(size - r, size - r);
}

// Whether the badge's centre falls on a pixel's middle, so centred marks need odd widths.
bool oddCentre(int size)
{
    return std::fmod(badgeCentre(size).x(), 1.0) != 0.0;
}

void drawBadge(QPainter &p, int size, const QColor &colour)
{
    const qreal r = badgeRadius(size) - 0.5;
    const QPointF centre = badgeCentre(size);
    // A light rim separates the badge from the envelope and from a dark panel.
    p.setPen(QPen(QColor(0xff, 0xff, 0xff), std::max(1.0, size / 16.0)));
    p.setBrush(colour);
    p.drawEllipse(centre, r, r);
}

} // namespace

QImage TrayIconArt::image(State state, int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paint(p, state, size);
    p.end();
    return img;
}

void TrayIconArt::paint(QPainter &p, State state, int size)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    drawEnvelope(p, size, state == Suspended);

    const qreal r = badgeRadius(size);
    const QPointF centre = badgeCentre(size);
    const bool odd = oddCentre(size);
    switch (state) {
    case Normal:
        break;
    case New:
        drawBadge(p, size, QColor(0x1a, 0x6f, 0xe0));
        break;
    case High: {
        drawBadge(p, size, QColor(0xe8, 0x4a, 0x10));
        // An exclamation mark: a bar and a dot, white on the badge, on whole pixels.
        qreal w = std::max(1.0, std::round(size / 16.0));
        if ((static_cast<int>(w) % 2 == 1) != odd)
            w += 1;
        const qreal x = centre.x() - w / 2.0;
        const qreal top = std::round(centre.y() - r * 0.62);
        const qreal barHeight = std::round(r * 0.8);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(x, top, w, barHeight));
        p.drawRect(QRectF(x, top + barHeight + std::max(1.0, std::round(r * 0.15)), w, w));
        break;
    }
    case Suspended: {
        drawBadge(p, size, QColor(0x44, 0x44, 0x44));
        // A pause mark: two bars, their total width matching the badge's pixel grid.
        const qreal w = std::max(1.0, std::round(size / 12.0));
        qreal gap = 1;
        if ((static_cast<int>(2 * w + gap) % 2 == 1) != odd)
            gap += 1;
        const qreal h = std::round(r * 1.1);
        const qreal left = centre.x() - (2 * w + gap) / 2.0;
        const qreal top = std::round(centre.y() - h / 2.0);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(left, top, w, h));
        p.drawRect(QRectF(left + w + gap, top, w, h));
        break;
    }
    }
}

QString TrayIconArt::countText(int count)
{
    return count > 99 ? QStringLiteral("99+") : QString::number(count);
}

void TrayIconArt::paintCount(QPainter &p, int size, int count)
{
    if (count <= 0 || size <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QString text = countText(count);
    // Over half the icon high, so the digits stay readable at 16 pixels.
    const int height = std::min(size, std::max(9, int(std::lround(size * 0.56))));
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(6, int(std::lround(height * 0.78))));
    font.setHintingPreference(QFont::PreferFullHinting);
    const qreal rim = std::max(1.0, std::round(size / 24.0));
    // "99+" must fit the icon's width with a little of the pill on each side.
    qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const qreal widest = size - 2 * rim - 1;
    if (textWidth > widest) {
        font.setPixelSize(std::max(5, int(font.pixelSize() * widest / textWidth)));
        textWidth = QFontMetricsF(font).horizontalAdvance(text);
    }
    const qreal width = std::min<qreal>(size, std::max<qreal>(height, std::ceil(textWidth + height * 0.45)));
    const QRectF box(size - width + rim / 2.0, rim / 2.0, width - rim, height - rim);
    p.setPen(QPen(Qt::white, rim));
    p.setBrush(QColor(0xd3, 0x2f, 0x2f));
    p.drawRoundedRect(box, box.height() / 2.0, box.height() / 2.0);
    p.setPen(Qt::white);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

QIcon TrayIconArt::iconWithCount(State state, int count)
{
    if (count <= 0)
        return icon(state);
    return QIcon(new UnreadIconEngine(state, count));
}

QIcon TrayIconArt::icon(State state)
{
    // Painted on request rather than from a fixed set of pixmaps: a panel at 22 points on a
    // screen of ratio 2 asks for 44 pixels, which no fixed set holds without scaling.
    return QIcon(new UnreadIconEngine(state, 0));
}

} // namespace lumora
