#include "tray/TrayIconArt.h"

#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace lumora::test {

// Every state's icon gives, at each panel size and ratio, a pixmap of exactly the device
// pixels it will cover, drawn at that size: the same pixels as the image drawn directly,
// which a pixmap scaled from another size would not match.
TEST(TrayIconArtTest, EveryStateIsDrawnAtEverySizeAndScaleAsked)
{
    for (const auto state : {TrayIconArt::Normal, TrayIconArt::New, TrayIconArt::High, TrayIconArt::Suspended}) {
        const QIcon icon = TrayIconArt::icon(state);
        EXPECT_FALSE(icon.isNull()) << state;
        EXPECT_TRUE(icon.availableSizes().contains(QSize(22, 22))) << state;
        for (const int side : {16, 22, 32, 48}) {
            for (const qreal scale : {1.0, 2.0}) {
                const QPixmap pixmap = icon.pixmap(QSize(side, side), scale);
                const int device = int(side * scale);
                ASSERT_EQ(pixmap.size(), QSize(device, device)) << state << ": " << side << " at " << scale;
                EXPECT_EQ(pixmap.devicePixelRatio(), scale) << state << ": " << side << " at " << scale;
                EXPECT_EQ(pixmap.deviceIndependentSize().toSize(), QSize(side, side)) << state;
                QImage shown = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
                shown.setDevicePixelRatio(1);
                EXPECT_TRUE(shown == TrayIconArt::image(state, device)) << state << ": " << side << " at " << scale;
            }
        }
        // Drawn at 44 pixels, not the 48-pixel image shrunk.
        const QImage at44 = TrayIconArt::image(state, 44);
        const QImage shrunk =
            TrayIconArt::image(state, 48).scaled(44, 44, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_FALSE(at44 == shrunk.convertToFormat(at44.format())) << state;
    }
}

// A tray slot that is not square (an XEmbed host may hand one over) shows the icon centred at
// its smaller side, on a plain and on a dense screen alike, never stretched.
TEST(TrayIconArtTest, IconIsCentredUnstretchedInAWideSlot)
{
    for (const int count : {0, 7}) {
        const QIcon icon =
            count ? TrayIconArt::iconWithCount(TrayIconArt::New, count) : TrayIconArt::icon(TrayIconArt::New);
        for (const qreal scale : {1.0, 2.0}) {
            QImage slot(int(46 * scale), int(22 * scale), QImage::Format_ARGB32_Premultiplied);
            slot.setDevicePixelRatio(scale);
            slot.fill(Qt::transparent);
            {
                QPainter p(&slot);
                icon.paint(&p, QRect(0, 0, 46, 22));
            }
            slot.setDevicePixelRatio(1);
            const int side = int(22 * scale);
            const QImage expected = icon.pixmap(QSize(22, 22), scale).toImage().convertToFormat(slot.format());
            const int left = int(12 * scale);
            EXPECT_TRUE(slot.copy(left, 0, side, side) == expected.copy()) << count << " at " << scale;
            for (int y = 0; y < slot.height(); ++y) {
                ASSERT_EQ(qAlpha(slot.pixel(left - 1, y)), 0) << count << " at " << scale;
                ASSERT_EQ(qAlpha(slot.pixel(left + side, y)), 0) << count << " at " << scale;
            }
        }
    }
}

} // namespace lumora::test
