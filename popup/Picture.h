#pragma once

#include <QImage>

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

    static std::shared_ptr<Picture> bitmap(const QImage &image)
    {
        return std::make_shared<Picture>(Picture{Kind::Bitmap, image});
    }
};

using PicturePtr = std::shared_ptr<Picture>;

} // namespace lumora
