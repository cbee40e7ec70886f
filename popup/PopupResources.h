#pragma once

#include <QCursor>
#include <QImage>
#include <QPixmap>

namespace lumora {

// The images shipped with the popup.
class PopupResources
{
public:
    enum Image {
        CloseButton, // 16 x 14
        DeleteGlyph, // 16 x 16
        DefaultPicture // 30 x 30
    };

    // The image at its logical size, one pixel per point, as drawn on an ordinary screen.
    static QImage image(Image which);
    // The image for a screen of the given device pixel ratio: the plain image at 1 (or less),
    // otherwise drawn afresh at size times ratio pixels, carrying that ratio so it covers the
    // same logical size.
    static QImage image(Image which, qreal ratio);
    static QPixmap pixmap(Image which, qreal ratio);
    // The logical size of an image.
    static QSize logicalSize(Image which);
    // The pointing hand shown over clickable parts (32 x 32, hot spot 12,1).
    static QCursor handCursor();
};

} // namespace lumora
