#include "host/maildir/ActiveWindowMonitor.h"

#include <QSocketNotifier>

#include <cstdlib>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

namespace lumora {

struct ActiveWindowMonitor::X11
{
    xcb_connection_t *connection = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_window_t root = 0;
    std::unique_ptr<QSocketNotifier> notifier;
};

ActiveWindowMonitor::ActiveWindowMonitor(QObject *parent)
    : QObject(parent)
{
}

ActiveWindowMonitor::~ActiveWindowMonitor()
{
    disconnectDisplay();
}

bool ActiveWindowMonitor::matches(const QString &windowClass, const QString &instanceName, const QString &className)
{
    if (windowClass.isEmpty())
        return false;
    return windowClass.compare(instanceName, Qt::CaseInsensitive) == 0
        || windowClass.compare(className, Qt::CaseInsensitive) == 0;
}

void ActiveWindowMonitor::setWindowClass(const QString &windowClass)
{
    m_windowClass = windowClass.trimmed();
    if (m_windowClass.isEmpty()) {
        disconnectDisplay();
        setActive(false);
        return;
    }
    if (m_x || connectDisplay())
        update();
}

bool ActiveWindowMonitor::connectDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    auto x = std::make_unique<X11>();
    int screenNumber = 0;
    x->connection = xcb_connect(nullptr, &screenNumber);
    if (!x->connection || xcb_connection_has_error(x->connection)) {
        if (x->connection)
            xcb_disconnect(x->connection);
        return false;
    }
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(x->connection, &x->ewmh);
    if (!xcb_ewmh_init_atoms_replies(&x->ewmh, cookies, nullptr)) {
        xcb_disconnect(x->connection);
        return false;
    }
    x->ewmhReady = true;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(x->connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem || !it.data) {
        xcb_ewmh_connection_wipe(&x->ewmh);
        xcb_disconnect(x->connection);
        return false;
    }
    x->root = it.data->root;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x->connection, x->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x->connection);
    x->notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(x->connection), QSocketNotifier::Read);
    connect(x->notifier.get(), &QSocketNotifier::activated, this, &ActiveWindowMonitor::readEvents);
    m_x = std::move(x);
    return true;
}

void ActiveWindowMonitor::disconnectDisplay()
{
    if (!m_x)
        return;
    m_x->notifier.reset();
    if (m_x->ewmhReady)
        xcb_ewmh_connection_wipe(&m_x->ewmh);
    xcb_disconnect(m_x->connection);
    m_x.reset();
}

void ActiveWindowMonitor::readEvents()
{
    if (!m_x)
        return;
    bool changed = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_x->connection)) {
        if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (notify->window == m_x->root && notify->atom == m_x->ewmh._NET_ACTIVE_WINDOW)
                changed = true;
        }
        free(event);
    }
    if (xcb_connection_has_error(m_x->connection)) {
        // The display went away: nothing can be active any more.
        disconnectDisplay();
        setActive(false);
        return;
    }
    if (changed)
        update();
}

void ActiveWindowMonitor::update()
{
    if (!m_x)
        return;
    xcb_window_t active = XCB_NONE;
    if (!xcb_ewmh_get_active_window_reply(&m_x->ewmh, xcb_ewmh_get_active_window(&m_x->ewmh, 0), &active, nullptr)
        || active == XCB_NONE) {
        setActive(false);
        return;
    }
    xcb_icccm_get_wm_class_reply_t wmClass;
    if (!xcb_icccm_get_wm_class_reply(m_x->connection, xcb_icccm_get_wm_class(m_x->connection, active), &wmClass,
                                      nullptr)) {
        setActive(false);
        return;
    }
    const QString instanceName = QString::fromLocal8Bit(wmClass.instance_name ? wmClass.instance_name : "");
    const QString className = QString::fromLocal8Bit(wmClass.class_name ? wmClass.class_name : "");
    xcb_icccm_get_wm_class_reply_wipe(&wmClass);
    setActive(matches(m_windowClass, instanceName, className));
}

void ActiveWindowMonitor::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged(active);
}

} // namespace lumora
