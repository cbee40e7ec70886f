#pragma once

#include "tray/TrayIconArt.h"

#include <QIconEngine>

namespace lumora {

// A tray icon state, with the unread count over it when the count is above 0, painted at
// whatever size and scale the tray asks for, so neither the envelope nor the digits are ever
// scaled from another size.
class UnreadIconEngine : public QIconEngine
{
public:
    UnreadIconEngine(TrayIconArt::State state, int count);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;

    int count() const { return m_count; }

private:
    // One square image of side pixels.
    QImage render(int side) const;

    TrayIconArt::State m_state;
    int m_count;
};

} // namespace lumora
