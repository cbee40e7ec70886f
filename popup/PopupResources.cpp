#include "popup/PopupResources.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

// Resources of a static library are registered explicitly, or the linker drops them.
static void initPopupResources()
{
    Q_INIT_RESOURCE(popup);
}

namespace lumora {

namespace {

void ensureResources()
{
    static const bool done = (initPopupResources(), true);
    Q_UNUSED(done);
}

// The drawings below trace the shipped bitmaps in their logical coordinates (one unit per
// bitmap pixel, a pixel's cell running from n to n + 1), so a dense screen gets the same
// picture with smooth edges instead of enlarged pixels.

// A raised grey button with a black cross.
void drawClose(QPainter &p)
{
    p.fillRect(QRectF(0, 0, 16, 14), QColor(0x00, 0x00, 0x00));
    p.fillRect(QRectF(0, 0, 15, 13), QColor(0xff, 0xff, 0xff));
    p.fillRect(QRectF(1, 1, 14, 12), QColor(0x80, 0x80, 0x80));
    p.fillRect(QRectF(1, 1, 13, 11), QColor(0xc0, 0xc0, 0xc0));
    QPen pen(QColor(0x00, 0x00, 0x00), 1.6);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPointF(4.3, 3.3), QPointF(12.7, 10.7));
    p.drawLine(QPointF(12.7, 3.3), QPointF(4.3, 10.7));
}

// A red cross with dark edges on a transparent ground.
void drawDelete(QPainter &p)
{
    const QLineF strokes[] = {QLineF(2, 2, 14, 14), QLineF(14, 2, 2, 14)};
    QPen edge(QColor(0x80, 0x00, 0x00), 2.1);
    edge.setCapStyle(Qt::FlatCap);
    p.setPen(edge);
    for (const QLineF &line : strokes)
        p.drawLine(line);
    QPen core(QColor(0xc0, 0x00, 0x00), 0.8);
    core.setCapStyle(Qt::FlatCap);
    p.setPen(core);
    for (const QLineF &line : strokes)
        p.drawLine(line);
}

// An at sign on a white card with a blue frame and a navy border.
void drawPicture(QPainter &p)
{
    const QColor navy(0x00, 0x00, 0x80);
    p.fillRect(QRectF(0, 0, 30, 30), navy);
    p.fillRect(QRectF(2, 2, 26, 26), QColor(0x00, 0x00, 0xff));
    p.fillRect(QRectF(3, 3, 24, 24), QColor(0xff, 0xff, 0xff));

    QPen pen(navy, 2.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The ring: open at the lower right, where the tail of the letter joins it.
    const QRectF ring(5.0, 5.0, 19.0, 19.0);
    QPainterPath outer;
    outer.arcMoveTo(ring, -54);
    outer.arcTo(ring, -54, -300);
    // The tail runs back in along the foot of the letter to its stem.
    outer.cubicTo(QPointF(23.5, 18.5), QPointF(20.5, 19.0), QPointF(17.5, 18.0));
    p.drawPath(outer);
    // The letter's bowl and stem.
    p.drawEllipse(QRectF(10.0, 11.0, 6.5, 6.5));
    p.drawLine(QPointF(17.5, 10.5), QPointF(17.5, 18.5));
}

} // namespace

QSize PopupResources::logicalSize(Image which)
{
    switch (which) {
    case CloseButton:
        return {16, 14};
    case DeleteGlyph:
        return {16, 16};
    case DefaultPicture:
        return {30, 30};
    }
    return {};
}

QImage PopupResources::image(Image which)
{
    ensureResources();
    switch (which) {
    case CloseButton:
        return QImage(QStringLiteral(":/lumora/popup/close.xpm"));
    case DeleteGlyph:
        return QImage(QStringLiteral(":/lumora/popup/delete.xpm"));
    case DefaultPicture:
        return QImage(QStringLiteral(":/lumora/popup/picture.xpm"));
    }
    return {};
}

QImage PopupResources::image(Image which, qreal ratio)
{
    // Ordinary screens keep the hand-placed pixels exactly; a bad ratio is taken as 1.
    if (!(ratio > 1.0) || !std::isfinite(ratio))
        return image(which);
    // Far beyond any screen; keeps a bogus ratio from asking for a huge image.
    ratio = std::min(ratio, 8.0);
    const QSize logical = logicalSize(which);
    QImage art(QSize(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio))),
               QImage::Format_ARGB32_Premultiplied);
    if (art.isNull())
        return image(which);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(ratio, ratio);
        switch (which) {
        case CloseButton:
            drawClose(p);
            break;
        case DeleteGlyph:
            drawDelete(p);
            break;
        case DefaultPicture:
            drawPicture(p);
            break;
        }
    }
    art.setDevicePixelRatio(ratio);
    return art;
}

QPixmap PopupResources::pixmap(Image which, qreal ratio)
{
    return QPixmap::fromImage(image(which, ratio));
}

QCursor PopupResources::handCursor()
{
    ensureResources();
    // Through QImage: loading a QPixmap from a file puts it in the pixmap cache, whose
    // clean-up timer would wake the idle process half a minute later.
    const QPixmap hand = QPixmap::fromImage(QImage(QStringLiteral(":/lumora/popup/hand.xpm")));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, 12, 1);
}

} // namespace lumora
