#include "tray/UnreadIconEngine.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {

// The sizes panels ask for most; a tray that lists sizes before asking gets these.
const QList<QSize> kSizes = {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64)};

} // namespace

UnreadIconEngine::UnreadIconEngine(TrayIconArt::State state, int count)
    : m_state(state)
    , m_count(count)
{
}

QImage UnreadIconEngine::render(int side) const
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    TrayIconArt::paint(p, m_state, side);
    TrayIconArt::paintCount(p, side, m_count);
    p.end();
    return image;
}

void UnreadIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    // The art is square: a tray slot that is wider or taller than high gets it centred at its
    // smaller side, not stretched.
    const int side = std::min(rect.width(), rect.height());
    if (side <= 0)
        return;
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(square, scaledPixmap(QSize(side, side) * scale, mode, state, scale));
}

QPixmap UnreadIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap UnreadIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    Q_UNUSED(mode)
    Q_UNUSED(state)
    // QIcon hands over the size in device pixels already (size times scale), so the image is
    // drawn at exactly the pixels it will cover.
    const int side = std::min(size.width(), size.height());
    if (side <= 0)
        return {};
    QPixmap pixmap = QPixmap::fromImage(render(side));
    pixmap.setDevicePixelRatio(std::max<qreal>(scale, 1.0));
    return pixmap;
}

QList<QSize> UnreadIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    Q_UNUSED(mode)
    Q_UNUSED(state)
    return kSizes;
}

QIconEngine *UnreadIconEngine::clone() const
{
    return new UnreadIconEngine(m_state, m_count);
}

QString UnreadIconEngine::key() const
{
    return QStringLiteral("lumora-unread");
}

} // namespace lumora
