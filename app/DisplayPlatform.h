#pragma once

#include <QString>

namespace lumora {

// Picks the windowing platform before Qt starts. The corner popup and the mail client's
// window control need global window positions, which Wayland gives ordinary windows only
// through XWayland: so when both a Wayland and an X display are offered, Lumora runs on
// XWayland; on Wayland alone it stays native and shows mail as desktop notifications.
class DisplayPlatform
{
public:
    // Sets QT_QPA_PLATFORM for this process when the user has not chosen one. Returns a
    // sentence for the --verbose trace saying what was chosen and why (empty when nothing
    // was decided here).
    static QString choose();
    // The decision for the given environment values; empty when Qt's default is kept.
    static QString platformFor(const QString &qpaPlatform, const QString &waylandDisplay, const QString &x11Display);
};

} // namespace lumora
