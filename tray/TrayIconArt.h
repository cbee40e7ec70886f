#pragma once

#include <QIcon>
#include <QImage>

class QPainter;

namespace lumora {

// The tray icon's four images, drawn in code at every common panel size so that each
// stays crisp: an envelope with a dark outline and light fill reads on light and dark
// panels alike; a blue badge marks new mail, an orange one with "!" high importance,
// and a greyed envelope with a pause mark the suspended state.
class TrayIconArt
{
public:
    enum State {
        Normal = 0,
        New = 1,
        High = 2,
        Suspended = 3
    };

    // The icon for a state, with pixmaps at 16, 22, 24, 32, 48 and 64 pixels.
    static QIcon icon(State state);
    // One image of a state at size x size pixels.
    static QImage image(State state, int size);
    // Draws a state's image on any paint device, with the painter's origin as its top left.
    static void paint(QPainter &painter, State state, int size);
};

} // namespace lumora
