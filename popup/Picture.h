#pragma once

#include <QImage>

#include <functional>
#include <memory>

namespace lumora {

// A picture for the popup's background. A bitmap may have a colour drawn transparent;
// an icon keeps its own alpha; other kinds (metafiles) are not painted.
struct Picture
{
    enum class Kind {
        Bitmap = 1,
        Metafile = 2,
        Icon = 3
    };

    Kind kind = Kind::Bitmap;
    QImage image;
    // Draws the picture afresh for a device pixel ratio above 1, so a dense screen gets fine
    // detail rather than enlarged pixels; empty when the image is all there is. The result
    // covers the image's size in logical pixels.
    std::function<QImage(qreal ratio)> render = {};

    static std::shared_ptr<Picture> bitmap(const QImage &image)
    {
        return std::make_shared<Picture>(Picture{Kind::Bitmap, image});
    }
};

using PicturePtr = std::shared_ptr<Picture>;

} // namespace lumora
