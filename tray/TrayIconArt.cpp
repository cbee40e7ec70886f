#include "tray/TrayIconArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace lumora {

namespace {

constexpr int Sizes[] = {16, 22, 24, 32, 48, 64};

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

void drawBadge(QPainter &p, int size, const QColor &colour)
{
    const qreal r = size * 0.23;
    const QPointF centre(size - r - size * 0.02, size - r - size * 0.02);
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
    p.setRenderHint(QPainter::Antialiasing, true);
    drawEnvelope(p, size, state == Suspended);

    const qreal r = size * 0.23;
    const QPointF centre(size - r - size * 0.02, size - r - size * 0.02);
    switch (state) {
    case Normal:
        break;
    case New:
        drawBadge(p, size, QColor(0x1a, 0x6f, 0xe0));
        break;
    case High: {
        drawBadge(p, size, QColor(0xe8, 0x4a, 0x10));
        // An exclamation mark: a bar and a dot, white on the badge.
        const qreal w = std::max(1.0, std::round(size / 12.0));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(centre.x() - w / 2.0, centre.y() - r * 0.62, w, r * 0.78));
        p.drawRect(QRectF(centre.x() - w / 2.0, centre.y() + r * 0.32, w, w));
        break;
    }
    case Suspended: {
        drawBadge(p, size, QColor(0x44, 0x44, 0x44));
        // A pause mark: two bars.
        const qreal w = std::max(1.0, std::round(size / 14.0));
        const qreal h = r * 1.0;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(centre.x() - w * 1.5, centre.y() - h / 2.0, w, h));
        p.drawRect(QRectF(centre.x() + w * 0.5, centre.y() - h / 2.0, w, h));
        break;
    }
    }
    p.end();
    return img;
}

QIcon TrayIconArt::icon(State state)
{
    QIcon result;
    for (int size : Sizes)
        result.addPixmap(QPixmap::fromImage(image(state, size)));
    return result;
}

} // namespace lumora
