#pragma once

#include "popup/Picture.h"

#include <QFont>

namespace lumora {

class PopupWindow;
struct AddInSettings;

// The main form's fixed popup style: the message fonts and colours and the default
// picture, loaded into the popup together with the user's settings.
class PopupStyle
{
public:
    PopupStyle();

    QFont messageFont;
    // The message font, underlined: fields under the pointer look like links.
    QFont messageFontOver;
    qint32 messageForeColor;
    qint32 messageForeColorOver;
    // 30 x 30 at-sign picture; holds no pure green, so the green mask leaves it opaque.
    PicturePtr picture;

    // Loads the style and the settings into the popup.
    void SetPopupProps(PopupWindow &popup, const AddInSettings &settings) const;

    // The font the popup's texts default to.
    static QFont defaultMessageFont();
};

} // namespace lumora
