#include "props/FolderIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lumora {

namespace {

const QColor kFolderBack(0xC8, 0x9B, 0x3C);
const QColor kFolderFront(0xF2, 0xC7, 0x5C);
const QColor kOutline(0x6E, 0x4F, 0x12);
const QColor kAccent(0x2F, 0x6F, 0xB8);

// Everything is drawn on a 16-unit grid and scaled to the pixmap.
void drawFolder(QPainter &p)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(kFolderBack);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolderFront);
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
}

// The in- and out-tray that mail in transit stands on.
void drawTray(QPainter &p)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(0xDD, 0xE6, 0xF0));
    p.drawPolygon(QPolygonF({QPointF(1.5, 10), QPointF(5, 10), QPointF(6, 11.5), QPointF(10, 11.5), QPointF(11, 10),
                             QPointF(14.5, 10), QPointF(14.5, 14), QPointF(1.5, 14)}));
}

// A vertical arrow down the middle, from tail to tip.
void drawArrow(QPainter &p, qreal tail, qreal tip)
{
    p.setPen(QPen(kAccent, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(8, tail), QPointF(8, tip));
    const qreal wing = tip > tail ? -2.2 : 2.2;
    p.drawLine(QPointF(8, tip), QPointF(5.8, tip + wing));
    p.drawLine(QPointF(8, tip), QPointF(10.2, tip + wing));
}

void drawImage(QPainter &p, int index)
{
    switch (index) {
    case 1: // mail folder: a folder with a small envelope
        drawFolder(p);
        p.setPen(QPen(kOutline, 0.7));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 8, 7, 4.5));
        p.drawLine(QPointF(4.5, 8), QPointF(8, 10.5));
        p.drawLine(QPointF(11.5, 8), QPointF(8, 10.5));
        break;
    case 2: // calendar
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 3.5, 11, 10));
        p.setBrush(QColor(0xD0, 0x3B, 0x30));
        p.drawRect(QRectF(2.5, 3.5, 11, 3));
        p.setPen(QPen(kOutline, 0.6));
        for (qreal x = 4.5; x < 13; x += 2.5)
            p.drawLine(QPointF(x, 8.5), QPointF(x + 1, 8.5));
        for (qreal x = 4.5; x < 13; x += 2.5)
            p.drawLine(QPointF(x, 11), QPointF(x + 1, 11));
        break;
    case 3: // contacts: a person
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(kAccent.lighter(150));
        p.drawEllipse(QPointF(8, 5.5), 2.6, 2.6);
        p.drawChord(QRectF(3, 9, 10, 9), 0, 180 * 16);
        break;
    case 4: // tasks: a check mark in a box
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setPen(QPen(QColor(0x2E, 0x8B, 0x3E), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 10.5), QPointF(11.5, 5)}));
        break;
    case 5: // journal: a closed book
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(0x8E, 0x5A, 0xB0));
        p.drawRect(QRectF(3.5, 2.5, 9, 11));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 4.5, 5, 2));
        break;
    case 6: // notes: a yellow sticky note with a turned corner
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(0xFF, 0xE8, 0x6E));
        p.drawPolygon(QPolygonF(
            {QPointF(2.5, 2.5), QPointF(13.5, 2.5), QPointF(13.5, 10), QPointF(10, 13.5), QPointF(2.5, 13.5)}));
        p.drawLine(QPointF(10, 13.5), QPointF(10, 10));
        p.drawLine(QPointF(10, 10), QPointF(13.5, 10));
        break;
    case 7: // Deleted Items: a waste bin
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(0xB8, 0xC2, 0xCC));
        p.drawPolygon(QPolygonF({QPointF(4, 5), QPointF(12, 5), QPointF(11, 14), QPointF(5, 14)}));
        p.drawRect(QRectF(3, 3.5, 10, 1.5));
        p.drawRect(QRectF(6.5, 2, 3, 1.5));
        p.drawLine(QPointF(6.5, 6.5), QPointF(6.8, 12.5));
        p.drawLine(QPointF(9.5, 6.5), QPointF(9.2, 12.5));
        break;
    case 8: // Drafts: a folder with a pencil
        drawFolder(p);
        p.setPen(QPen(kOutline, 0.6));
        p.setBrush(QColor(0xF5, 0x8A, 0x2A));
        p.drawPolygon(QPolygonF(
            {QPointF(5, 12.5), QPointF(5.6, 10.5), QPointF(11.8, 4.3), QPointF(13.2, 5.7), QPointF(7, 11.9)}));
        break;
    case 9: // Inbox: a tray with an arrow pointing in
        drawTray(p);
        drawArrow(p, 2, 12);
        break;
    case 10: // Outbox: a tray with an arrow pointing out
        drawTray(p);
        drawArrow(p, 10.5, 2.5);
        break;
    case 11: // Sent Items: a folder with a paper plane
        drawFolder(p);
        p.setPen(QPen(kOutline, 0.6));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(3.5, 9.5), QPointF(13, 6.5), QPointF(9, 12.5), QPointF(8, 10.5)}));
        p.drawLine(QPointF(8, 10.5), QPointF(13, 6.5));
        break;
    case 12: // a store: a stacked disk
        p.setPen(QPen(kOutline.darker(130), 0.8));
        p.setBrush(QColor(0x7A, 0x9C, 0xC6));
        p.drawRect(QRectF(2.5, 4, 11, 8.5));
        p.setBrush(QColor(0xA9, 0xC3, 0xE3));
        p.drawEllipse(QRectF(2.5, 2, 11, 4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 6.2, 11, 4), 180 * 16, 180 * 16);
        p.drawArc(QRectF(2.5, 10.5, 11, 4), 180 * 16, 180 * 16);
        break;
    default:
        break;
    }
}

QPixmap render(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    drawImage(p, index);
    return pixmap;
}

} // namespace

QIcon FolderIcons::image(int index)
{
    if (index < 1 || index > Count)
        return QIcon();
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(render(index, size));
    return icon;
}

} // namespace lumora
