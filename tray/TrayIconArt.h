#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

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

    // The icon for a state, drawn afresh at every size and scale asked for; it lists 16, 22,
    // 24, 32, 48 and 64 pixels as its sizes.
    static QIcon icon(State state);
    // One image of a state at size x size pixels.
    static QImage image(State state, int size);
    // Draws a state's image on any paint device, with the painter's origin as its top left.
    static void paint(QPainter &painter, State state, int size);
    // The state's icon carrying the unread count as a badge at its top right, drawn afresh at
    // every size and scale asked for; the plain icon for a count of 0 or less.
    static QIcon iconWithCount(State state, int count);
    // Draws the count badge over an image of size x size pixels: a red disc (a pill for more
    // digits) with a white rim, so it reads on light and dark panels, and bold white digits;
    // "99+" beyond 99.
    static void paintCount(QPainter &painter, int size, int count);
    // The badge's text for a count.
    static QString countText(int count);
};

} // namespace lumora
