#include "platform/desktop/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumora {

namespace {

class PrimaryScreenWorkArea : public WorkArea
{
public:
    QRect primaryWorkArea() const override
    {
        // Screens come and go (docking, a monitor unplugged); read the current one each time.
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return {};
        const QScreen *screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    }
};

WorkArea *g_installed = nullptr;

} // namespace

WorkArea::~WorkArea() = default;

WorkArea &WorkArea::instance()
{
    static PrimaryScreenWorkArea real;
    return g_installed ? *g_installed : real;
}

void WorkArea::setInstance(WorkArea *area)
{
    g_installed = area;
}

} // namespace lumora
