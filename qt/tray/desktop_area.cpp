#include "desktop_area.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace latchsweep::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* x11Connection()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name)
{
    ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

// The screen Qt connected to, as the display name gives it (":0.1" is screen 1); the tray
// selection is per screen.
int screenNumber()
{
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    const qsizetype dot = display.indexOf('.', colon);
    return colon >= 0 && dot > colon ? display.mid(dot + 1).toInt() : 0;
}

} // namespace

NotificationAreaWatcher::NotificationAreaWatcher(QObject* parent) : QObject(parent)
{
    watchSelection();
    watchBus();
}

NotificationAreaWatcher::~NotificationAreaWatcher()
{
    if (selectionNotify_)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void NotificationAreaWatcher::watchSelection()
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    // Selection notification needs XFixes 1.0 or later, negotiated once per connection.
    ReplyPtr<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 1, 0), nullptr));
    const xcb_atom_t atom = internAtom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber()));
    if (!version || !atom)
        return;
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skip = screenNumber(); skip > 0 && screen.rem; --skip)
        xcb_screen_next(&screen);
    if (!screen.rem)
        return;
    selection_ = atom;
    selectionNotify_ = static_cast<std::uint8_t>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    xcb_xfixes_select_selection_input(connection, screen.data->root, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void NotificationAreaWatcher::watchBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* watcher = new QDBusServiceWatcher(kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &NotificationAreaWatcher::changed);
    // A watcher may take its name before any host has registered with it.
    bus.connect(kWatcherService, kWatcherPath, kWatcherService, QStringLiteral("StatusNotifierHostRegistered"), this,
                SLOT(onHostRegistered()));
}

void NotificationAreaWatcher::onHostRegistered() { emit changed(); }

bool NotificationAreaWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (selectionNotify_ && eventType == "xcb_generic_event_t") {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == selectionNotify_ &&
            reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event)->selection == selection_)
            emit changed();
    }
    return false; // Qt's own tray tracking sees the same events
}

std::optional<bool> NotificationAreaWatcher::selectionOwned() const
{
    xcb_connection_t* connection = x11Connection();
    if (!selectionNotify_ || !connection)
        return std::nullopt;
    ReplyPtr<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection_), nullptr));
    return reply && reply->owner != XCB_NONE;
}

bool statusNotifierHostRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcherService))
        return false;
    QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
}

void setNormalInitialState(const QWidget& window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window.internalWinId())
        return;
    const auto id = static_cast<xcb_window_t>(window.internalWinId());
    constexpr std::uint32_t kFields = 9; // flags, input, initial_state, icon pixmap/window/x/y/mask, group
    constexpr std::uint32_t kStateHint = 1u << 1;
    constexpr std::uint32_t kNormalState = 1;
    ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kFields), nullptr));
    std::array<std::uint32_t, kFields> hints{};
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        const auto count = std::min<std::uint32_t>(reply->value_len, kFields);
        std::copy_n(values, count, hints.begin());
    }
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    // Sent before Qt's own requests that map the window, on the same connection, so the window
    // manager reads the new hint when it handles the map.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kFields,
                        hints.data());

    // Some window managers (xfwm4) leave _NET_WM_STATE_HIDDEN on a window they withdraw, and Qt
    // keeps the states it does not know when it maps the window again: the same iconic map.
    const xcb_atom_t netWmState = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t hidden = internAtom(connection, "_NET_WM_STATE_HIDDEN");
    ReplyPtr<xcb_get_property_reply_t> states(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, netWmState, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!states || states->format != 32 || !netWmState || !hidden)
        return;
    const auto* first = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
    std::vector<xcb_atom_t> kept(first, first + states->value_len);
    if (std::erase(kept, hidden))
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(kept.size()), kept.data());
}

} // namespace latchsweep::qt
