#pragma once

#include <QString>
#include <QtGlobal>

namespace lumora {

// The ten loaded settings, as the add-in keeps them for the popup and the tray icon.
// Every field starts at 0 or empty until the first load.
struct AddInSettings
{
    qint16 PopAlign = 0;
    qint16 ManualXPos = 0;
    qint16 ManualYPos = 0;
    qint32 GradientColor1 = 0;
    qint32 GradientColor2 = 0;
    qint16 GradientOrientation = 0;
    qint16 MessageDelay = 0;
    QString SoundPath;
    qint16 HideOnStartup = 0;
    qint16 PopupDelete = 0;
};

// PopupAlignment codes.
enum PopupAlignment {
    Manual = 0,
    TopRightCorner = 1,
    TopLeftCorner = 2,
    BottomRightCorner = 3,
    BottomLeftCorner = 4
};

} // namespace lumora
