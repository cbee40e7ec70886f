#include "props/ColorSwatch.h"

#include "popup/OleColor.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace lumora {

ColorSwatch::ColorSwatch(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Click to change color"));
    setFixedSize(48, 20);
    setValue(0);
}

QColor ColorSwatch::toColor(qint32 value)
{
    // As the popup paints it: a stored desktop colour is the palette's, not its index bytes.
    return OleColor::resolve(value);
}

qint32 ColorSwatch::fromColor(const QColor &color)
{
    return qint32(color.red() | (color.green() << 8) | (color.blue() << 16));
}

void ColorSwatch::setValue(qint32 value)
{
    m_value = value;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toColor(value));
    setPalette(pal);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void ColorSwatch::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT clicked();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace lumora
