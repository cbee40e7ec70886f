#include "app/DisplayPlatform.h"

#include <QtGlobal>

namespace lumora {

QString DisplayPlatform::platformFor(const QString &qpaPlatform, const QString &waylandDisplay,
                                     const QString &x11Display)
{
    if (!qpaPlatform.isEmpty() || waylandDisplay.isEmpty() || x11Display.isEmpty())
        return QString();
    return QStringLiteral("xcb");
}

QString DisplayPlatform::choose()
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString chosen = platformFor(qEnvironmentVariable("QT_QPA_PLATFORM"), wayland, x11);
    if (!chosen.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", chosen.toUtf8());
        return QStringLiteral("display: Wayland (%1) with XWayland (%2): using XWayland for the popup and the window "
                              "control")
            .arg(wayland, x11);
    }
    if (!wayland.isEmpty() && x11.isEmpty() && qEnvironmentVariable("QT_QPA_PLATFORM").isEmpty())
        return QStringLiteral("display: Wayland (%1) without XWayland: new mail is shown as desktop notifications")
            .arg(wayland);
    return QString();
}

} // namespace lumora
