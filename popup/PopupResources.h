#pragma once

#include <QCursor>
#include <QImage>

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

    static QImage image(Image which);
    // The pointing hand shown over clickable parts (32 x 32, hot spot 12,1).
    static QCursor handCursor();
};

} // namespace lumora
