#include "platform/desktop/X11WindowSystem.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace lumora {

namespace {

// ICCCM WM_STATE values and the _NET_ACTIVE_WINDOW source indication for a pager-like
// request, which window managers honour without focus-stealing checks.
constexpr quint32 IconicState = 3;
constexpr quint32 SourcePager = 2;
// Titles and class hints beyond this are cut; no real window needs more.
constexpr quint32 MaxTextBytes = 64 * 1024;
constexpr quint32 MaxClientList = 16 * 1024;
// _NET_WM_STATE holds a handful of atoms; more than this is not a real window's.
constexpr quint32 MaxStateAtoms = 64;

} // namespace

X11WindowSystem::X11WindowSystem() = default;

X11WindowSystem::~X11WindowSystem()
{
    stopWatching();
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool X11WindowSystem::ensureConnected()
{
    if (m_tried)
        return m_connection != nullptr;
    m_tried = true;
    // Only a session whose GUI runs on X11 has windows to control; offscreen and Wayland
    // sessions find none, as promised.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i)
        xcb_screen_next(&it);
    if (it.rem <= 0 || !it.data) {
        xcb_disconnect(connection);
        return false;
    }
    m_connection = connection;
    m_root = it.data->root;
    return true;
}

quint32 X11WindowSystem::atom(const char *name)
{
    const QByteArray key(name);
    auto found = m_atoms.constFind(key);
    if (found != m_atoms.constEnd())
        return found.value();
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(key.size()), name), nullptr);
    const quint32 value = reply ? reply->atom : quint32(XCB_ATOM_NONE);
    std::free(reply);
    if (value != XCB_ATOM_NONE)
        m_atoms.insert(key, value);
    return value;
}

QByteArray X11WindowSystem::property(HWND window, quint32 prop, quint32 type, int format, quint32 maxBytes,
                                     quint32 *actualType)
{
    if (prop == XCB_ATOM_NONE)
        return {};
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, prop, type, 0, maxBytes / 4 + 1), nullptr);
    QByteArray value;
    if (reply && reply->format == format && (type == XCB_ATOM_ANY || reply->type == type)) {
        const int length = xcb_get_property_value_length(reply);
        if (length > 0) {
            const int kept = static_cast<int>(qMin<quint32>(static_cast<quint32>(length), maxBytes));
            value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)), kept);
        }
        if (actualType)
            *actualType = reply->type;
    }
    std::free(reply);
    return value;
}

QList<HWND> X11WindowSystem::topLevelWindows()
{
    QList<HWND> windows;
    if (!ensureConnected())
        return windows;
    const QByteArray list = property(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32, MaxClientList * 4);
    if (!list.isEmpty()) {
        const qsizetype count = list.size() / 4;
        windows.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            quint32 id;
            std::memcpy(&id, list.constData() + i * 4, 4);
            windows.append(id);
        }
        return windows;
    }
    // No EWMH window manager: the root's children are the top-level windows.
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr);
    if (tree) {
        const xcb_window_t *children = xcb_query_tree_children(tree);
        const int count = xcb_query_tree_children_length(tree);
        for (int i = 0; i < count; ++i)
            windows.append(children[i]);
        std::free(tree);
    }
    return windows;
}

HWND X11WindowSystem::owner(HWND window)
{
    if (!ensureConnected())
        return 0;
    const QByteArray value = property(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 4);
    if (value.size() < 4)
        return 0;
    quint32 id;
    std::memcpy(&id, value.constData(), 4);
    // Transient for the root means a dialog for the whole group, not an owned window.
    return id == m_root ? 0 : id;
}

bool X11WindowSystem::isIconic(HWND window)
{
    const quint32 wmState = atom("WM_STATE");
    const QByteArray value = property(window, wmState, wmState, 32, 8);
    if (value.size() < 4)
        return false;
    quint32 state;
    std::memcpy(&state, value.constData(), 4);
    return state == IconicState;
}

bool X11WindowSystem::isShown(HWND window)
{
    if (!ensureConnected())
        return false;
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
    if (!attributes)
        return false;
    const bool viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable || isIconic(window);
}

QString X11WindowSystem::title(HWND window)
{
    if (!ensureConnected())
        return {};
    const QByteArray netName = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, MaxTextBytes);
    if (!netName.isEmpty())
        return QString::fromUtf8(netName);
    quint32 type = XCB_ATOM_NONE;
    const QByteArray name = property(window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 8, MaxTextBytes, &type);
    // STRING is Latin-1 by definition; anything else (COMPOUND_TEXT, UTF8_STRING) is
    // read as UTF-8, which is right for its ASCII part.
    return type == XCB_ATOM_STRING ? QString::fromLatin1(name) : QString::fromUtf8(name);
}

QStringList X11WindowSystem::classHint(HWND window)
{
    if (!ensureConnected())
        return {};
    // WM_CLASS is "instance\0class\0".
    const QByteArray value = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, MaxTextBytes);
    const qsizetype split = value.indexOf('\0');
    if (split < 0)
        return {};
    QByteArray cls = value.mid(split + 1);
    const qsizetype end = cls.indexOf('\0');
    if (end >= 0)
        cls.truncate(end);
    return {QString::fromLatin1(value.left(split)), QString::fromLatin1(cls)};
}

QString X11WindowSystem::className(HWND window)
{
    const QStringList hint = classHint(window);
    return hint.size() == 2 ? hint.at(1) : QString();
}

QString X11WindowSystem::instanceName(HWND window)
{
    const QStringList hint = classHint(window);
    return hint.size() == 2 ? hint.at(0) : QString();
}

HWND X11WindowSystem::activeWindow()
{
    if (!ensureConnected())
        return 0;
    const QByteArray value = property(m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 4);
    if (value.size() < 4)
        return 0;
    quint32 id;
    std::memcpy(&id, value.constData(), 4);
    return id;
}

bool X11WindowSystem::isFullScreen(HWND window)
{
    if (!window || !ensureConnected())
        return false;
    const quint32 fullScreen = atom("_NET_WM_STATE_FULLSCREEN");
    if (fullScreen == XCB_ATOM_NONE)
        return false;
    const QByteArray states = property(window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, MaxStateAtoms * 4);
    for (qsizetype at = 0; at + 4 <= states.size(); at += 4) {
        quint32 state;
        std::memcpy(&state, states.constData() + at, 4);
        if (state == fullScreen)
            return true;
    }
    return false;
}

void X11WindowSystem::watchActiveWindow()
{
    if (m_watch || !ensureConnected())
        return;
    xcb_connection_t *watch = xcb_connect(nullptr, nullptr);
    if (!watch || xcb_connection_has_error(watch)) {
        if (watch)
            xcb_disconnect(watch);
        return;
    }
    m_watch = watch;
    m_activeAtom = atom("_NET_ACTIVE_WINDOW");
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_watch, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_watch);
    m_watchNotifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_watch), QSocketNotifier::Read);
    QObject::connect(m_watchNotifier.get(), &QSocketNotifier::activated, this, &X11WindowSystem::readWatchEvents);
}

void X11WindowSystem::readWatchEvents()
{
    if (!m_watch)
        return;
    bool changed = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_watch)) {
        if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (notify->window == m_root && notify->atom == m_activeAtom)
                changed = true;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_watch)) {
        // The display went away: nothing can be active any more.
        stopWatching();
        changed = true;
    }
    if (changed)
        Q_EMIT activeWindowChanged();
}

void X11WindowSystem::stopWatching()
{
    m_watchNotifier.reset();
    if (m_watch)
        xcb_disconnect(m_watch);
    m_watch = nullptr;
}

void X11WindowSystem::sendToRoot(HWND window, quint32 messageType, const quint32 (&data)[5])
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = messageType;
    for (int i = 0; i < 5; ++i)
        event.data.data32[i] = data[i];
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

bool X11WindowSystem::show(HWND window, int command)
{
    if (!ensureConnected())
        return false;
    const bool wasShown = isShown(window);
    switch (command) {
    case SW_HIDE: {
        // Withdraw the window (ICCCM 4.1.4): unmap it and tell the window manager, so that
        // a minimised window disappears from the task list too.
        xcb_unmap_window(m_connection, window);
        xcb_unmap_notify_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_UNMAP_NOTIFY;
        event.event = m_root;
        event.window = window;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        break;
    }
    case SW_SHOW:
    case SW_RESTORE:
        // Mapping brings back a withdrawn window; the activation request also lifts a
        // minimised one and gives it the focus.
        xcb_map_window(m_connection, window);
        sendToRoot(window, atom("_NET_ACTIVE_WINDOW"), {SourcePager, XCB_CURRENT_TIME, 0, 0, 0});
        break;
    default:
        break;
    }
    xcb_flush(m_connection);
    return wasShown;
}

bool X11WindowSystem::activate(HWND window)
{
    if (!ensureConnected())
        return false;
    sendToRoot(window, atom("_NET_ACTIVE_WINDOW"), {SourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(m_connection);
    return true;
}

} // namespace lumora
