#include "popup/PopupStyle.h"

#include "popup/OleColor.h"
#include "popup/PopupResources.h"
#include "popup/PopupWindow.h"
#include "settings/AddInSettings.h"

namespace lumora {

PopupStyle::PopupStyle()
    : messageFont(defaultMessageFont())
    , messageFontOver(defaultMessageFont())
    , messageForeColor(OleColor::rgb(0, 0, 0))
    , messageForeColorOver(OleColor::rgb(0, 0, 255))
    , picture(Picture::bitmap(PopupResources::image(PopupResources::DefaultPicture)))
{
    picture->render = [](qreal ratio) { return PopupResources::image(PopupResources::DefaultPicture, ratio); };
    messageFontOver.setUnderline(true);
}

QFont PopupStyle::defaultMessageFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

void PopupStyle::SetPopupProps(PopupWindow &popup, const AddInSettings &settings) const
{
    popup.setAlign(settings.PopAlign);
    // Top corners grow down and shrink up; the others grow up and shrink down, so the
    // edge at the screen border stays put.
    if (popup.Align() != 1 && popup.Align() != 2) {
        popup.setAnimationIn(4);
        popup.setAnimationOut(3);
    } else {
        popup.setAnimationIn(3);
        popup.setAnimationOut(4);
    }
    popup.setAutoClose(true);
    popup.setDuration(settings.MessageDelay);
    popup.setGradientColor1(settings.GradientColor1);
    popup.setGradientColor2(settings.GradientColor2);
    popup.setGradientOrientation(settings.GradientOrientation);

    popup.setMaskColor(OleColor::rgb(0, 255, 0));
    popup.setMessage(QStringLiteral("Hello, this is a test message"));

    popup.setMessageFont(messageFont);
    popup.setMessageFontOver(messageFontOver);
    popup.setMessageForeColor(messageForeColor);
    popup.setMessageForeColorOver(messageForeColorOver);
    popup.setMessageForeColorHigh(OleColor::rgb(255, 0, 0));

    popup.setPopupPicture(picture);
    popup.setPopupPictureX(1);
    popup.setPopupPictureY(2);

    popup.setSoundPath(settings.SoundPath);
    popup.setTextShiftY(10);
    popup.setUseMaskColor(true);
    popup.setX(settings.ManualXPos);
    popup.setY(settings.ManualYPos);
}

} // namespace lumora
