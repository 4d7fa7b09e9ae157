#include "qt/tray/desktop_area.h"

#include <xcb/xfixes.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QTimer>

#include "qt/app/x11_desktop.h"

namespace latchsweep::qt {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

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

NotificationAreaWatcher::NotificationAreaWatcher(QObject* parent)
    : QObject(parent)
{
    watchSelection();
    watchBus();
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
    XReply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 1, 0), nullptr));
    const xcb_atom_t atom = internAtom(
        connection, (QByteArrayLiteral("_NET_SYSTEM_TRAY_S") + QByteArray::number(screenNumber())).toStdString());
    if (!version || !atom)
        return;
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skip = screenNumber(); skip > 0 && screen.rem; --skip)
        xcb_screen_next(&screen);
    if (!screen.rem)
        return;
    selection_ = atom;
    manager_ = internAtom(connection, "MANAGER");
    // A new tray announces itself with a MANAGER message to the root window's StructureNotify
    // listeners. The event mask is per client, and Qt's connection is ours: add to its mask.
    const XReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, screen.data->root), nullptr));
    if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_STRUCTURE_NOTIFY)) {
        const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, screen.data->root, XCB_CW_EVENT_MASK, &mask);
    }
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
                SIGNAL(changed()));
}

bool NotificationAreaWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (selectionNotify_ && eventType == "xcb_generic_event_t") {
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const auto type = static_cast<std::uint8_t>(event->response_type & 0x7f);
        if (type == selectionNotify_) {
            // A new owner is reported by its MANAGER message below; here only the owner gone.
            const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
            if (notify->selection == selection_ && notify->owner == XCB_NONE)
                emit changed();
        } else if (type == XCB_CLIENT_MESSAGE) {
            const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
            // Qt re-docks its visible icons when it handles this message, after this filter: an
            // icon added before that would be docked twice (a tray such as trayer then keeps an
            // empty slot for the first). So the change is reported from the event queue.
            if (client->type == manager_ && client->format == 32 && client->data.data32[1] == selection_)
                QTimer::singleShot(0, this, &NotificationAreaWatcher::changed);
        }
    }
    return false; // Qt's own tray tracking sees the same events
}

std::optional<bool> NotificationAreaWatcher::selectionOwned() const
{
    xcb_connection_t* connection = x11Connection();
    if (!selectionNotify_ || !connection)
        return std::nullopt;
    XReply<xcb_get_selection_owner_reply_t> reply(
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

} // namespace latchsweep::qt
