#pragma once

#include <QString>

namespace lumora {

// Whether the user is presenting, when a popup and its sound would intrude: the active
// window is shown full screen (a slide show, a film, a video call), or the desktop's
// do-not-disturb is on.
class PresentationCheck
{
public:
    // Why popups should wait now, for the trace; empty when nothing stands in the way.
    static QString reason();
};

} // namespace lumora
