#include "popup/PopupResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lumora::test {

namespace {

using Image = PopupResources::Image;

const Image AllImages[] = {PopupResources::CloseButton, PopupResources::DeleteGlyph, PopupResources::DefaultPicture};

QImage argb(const QImage &image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    result.setDevicePixelRatio(1);
    return result;
}

// Pixels of a nearest-neighbour enlargement that sit on an edge (a 4-neighbour differs), and how
// many of them the fine drawing renders differently: an enlargement would have none.
struct EdgeDifference
{
    int edges = 0;
    int changed = 0;
};

EdgeDifference edgeDifference(const QImage &fine, const QImage &plain)
{
    const QImage big = argb(plain.scaled(fine.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    const QImage sharp = argb(fine);
    EdgeDifference d;
    for (int y = 1; y + 1 < big.height(); ++y) {
        for (int x = 1; x + 1 < big.width(); ++x) {
            const QRgb c = big.pixel(x, y);
            if (big.pixel(x - 1, y) == c && big.pixel(x + 1, y) == c && big.pixel(x, y - 1) == c
                && big.pixel(x, y + 1) == c)
                continue;
            ++d.edges;
            d.changed += sharp.pixel(x, y) != c;
        }
    }
    return d;
}

// Mean difference per channel (alpha included) between the plain image and the fine drawing
// averaged back down to it: small when the fine drawing shows the same picture.
double meanDifference(const QImage &fine, const QImage &plain)
{
    const QImage down = argb(argb(fine).scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const QImage base = argb(plain);
    double sum = 0;
    for (int y = 0; y < base.height(); ++y) {
        for (int x = 0; x < base.width(); ++x) {
            const QRgb a = down.pixel(x, y);
            const QRgb b = base.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))
                + std::abs(qAlpha(a) - qAlpha(b));
        }
    }
    return sum / (4.0 * base.width() * base.height());
}

} // namespace

TEST(PopupResourcesTest, OrdinaryScreensGetTheShippedPixelsUnchanged)
{
    for (const Image which : AllImages) {
        const QImage plain = PopupResources::image(which);
        ASSERT_FALSE(plain.isNull()) << which;
        EXPECT_EQ(plain.size(), PopupResources::logicalSize(which)) << which;
        // Bad ratios are taken as 1 rather than asking for empty or huge images.
        for (const qreal ratio :
             {1.0, 0.5, 0.0, -2.0, std::numeric_limits<qreal>::quiet_NaN(), std::numeric_limits<qreal>::infinity()}) {
            const QImage image = PopupResources::image(which, ratio);
            EXPECT_TRUE(image == plain) << which << " at " << ratio;
            EXPECT_EQ(image.devicePixelRatio(), 1.0) << which << " at " << ratio;
        }
    }
}

TEST(PopupResourcesTest, DenseScreensGetAFinerDrawingOfTheSamePicture)
{
    for (const Image which : AllImages) {
        const QImage plain = PopupResources::image(which);
        const QSize logical = PopupResources::logicalSize(which);
        for (const qreal ratio : {2.0, 3.0, 1.5}) {
            const QImage fine = PopupResources::image(which, ratio);
            ASSERT_EQ(fine.size(),
                      QSize(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio))))
                << which << " at " << ratio;
            EXPECT_EQ(fine.devicePixelRatio(), ratio) << which;
            EXPECT_EQ(fine.deviceIndependentSize().toSize(), logical) << which << " at " << ratio;
            EXPECT_EQ(PopupResources::pixmap(which, ratio).deviceIndependentSize().toSize(), logical) << which;

            const EdgeDifference d = edgeDifference(fine, plain);
            EXPECT_GT(d.changed, d.edges / 10) << which << " at " << ratio << " looks enlarged";
            EXPECT_LT(meanDifference(fine, plain), 25.0) << which << " at " << ratio << " shows another picture";
        }
    }
}

TEST(PopupResourcesTest, FineDrawingsKeepTheTransparencyOfThePlainImages)
{
    for (const Image which : AllImages) {
        const QImage plain = argb(PopupResources::image(which));
        const QImage fine = argb(PopupResources::image(which, 2.0));
        // The corners and the middle of every side: ground or frame, never an antialiased edge.
        for (const QPoint at : {QPoint(0, 0), QPoint(plain.width() - 1, 0), QPoint(0, plain.height() - 1),
                                QPoint(plain.width() - 1, plain.height() - 1), QPoint(plain.width() / 2, 0)}) {
            EXPECT_EQ(qAlpha(fine.pixel(at * 2)), qAlpha(plain.pixel(at)))
                << which << " at " << at.x() << "," << at.y();
        }
    }
    // The delete glyph shows the button beneath it around its cross; the others are opaque.
    EXPECT_EQ(qAlpha(argb(PopupResources::image(PopupResources::DeleteGlyph, 2.0)).pixel(16, 2)), 0);
    const QImage picture = argb(PopupResources::image(PopupResources::DefaultPicture, 2.0));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(qAlpha(picture.pixel(x, y)), 255) << x << "," << y;
}

} // namespace lumora::test
