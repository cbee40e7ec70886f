// A popup on a screen of device pixel ratio 2. The ratio is read once, when the application
// starts, so these tests have an executable of their own that asks for it before main runs.
#include "tests/popup/PopupFixture.h"

#include "popup/PopupResources.h"

#include <QToolButton>

namespace {

const bool scaled = (qputenv("QT_SCALE_FACTOR", "2"), true);

} // namespace

namespace lumora::test {

namespace {

using HiDpiTest = PopupFixture;

QImage argb(const QImage &image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    result.setDevicePixelRatio(1);
    return result;
}

} // namespace

TEST_F(HiDpiTest, PictureIsDrawnFinelyAtItsLogicalPlace)
{
    ASSERT_TRUE(scaled);
    PopupWindow &p = window();
    ASSERT_EQ(p.devicePixelRatioF(), 2.0);
    manager.PlaceAndShowTest(p);
    const QImage surface = argb(p.surfaceImage().toImage());
    EXPECT_EQ(p.surfaceImage().deviceIndependentSize().toSize(), QSize(200, 120));
    ASSERT_EQ(surface.size(), QSize(400, 240));

    // At (1, 2) and 30 x 30 in logical pixels, as on an ordinary screen, pixel for pixel the
    // fine drawing and not the plain image enlarged.
    const QImage fine = argb(PopupResources::image(PopupResources::DefaultPicture, 2.0));
    const QImage big = argb(PopupResources::image(PopupResources::DefaultPicture)
                                .scaled(60, 60, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    int unlikeEnlarged = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const QRgb shown = surface.pixel(2 + x, 4 + y);
            ASSERT_EQ(shown, fine.pixel(x, y)) << x << "," << y;
            unlikeEnlarged += shown != big.pixel(x, y);
        }
    }
    EXPECT_GT(unlikeEnlarged, 100);
    // Just outside it the gradient shows.
    EXPECT_NE(surface.pixel(1, 4), fine.pixel(0, 0));
    EXPECT_NE(surface.pixel(62, 4), fine.pixel(59, 0));
    p.Unload();
}

TEST_F(HiDpiTest, ButtonsShowFineDrawingsInTheirLogicalGeometry)
{
    PopupWindow &p = window();
    manager.PlaceAndShowTest(p);

    auto *close = p.findChild<QLabel *>(QStringLiteral("Image1"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->geometry(), QRect(174, 0, 16, 14));
    const QPixmap closePicture = close->pixmap();
    EXPECT_EQ(closePicture.devicePixelRatio(), 2.0);
    EXPECT_EQ(closePicture.size(), QSize(32, 28));
    EXPECT_TRUE(argb(closePicture.toImage()) == argb(PopupResources::image(PopupResources::CloseButton, 2.0)));

    auto *toolbar = p.findChild<QToolButton *>(QStringLiteral("Toolbar1"));
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->geometry(), QRect(1, 88, 25, 22));
    EXPECT_EQ(toolbar->iconSize(), QSize(16, 16));
    const QPixmap deletePicture = toolbar->icon().pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(deletePicture.size(), QSize(32, 32));
    EXPECT_TRUE(argb(deletePicture.toImage()) == argb(PopupResources::image(PopupResources::DeleteGlyph, 2.0)));

    // What the screen shows: the close picture grabbed from the window, fine as drawn.
    const QImage grabbed = argb(close->grab().toImage());
    ASSERT_EQ(grabbed.size(), QSize(32, 28));
    EXPECT_TRUE(grabbed == argb(PopupResources::image(PopupResources::CloseButton, 2.0)));
    p.Unload();
}

} // namespace lumora::test
