#include "qt/app/x11_desktop.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <vector>

namespace latchsweep::qt {
namespace {

xcb_atom_t netWmState(xcb_connection_t* connection) { return internAtom(connection, "_NET_WM_STATE"); }

// The window's _NET_WM_STATE atoms.
std::vector<xcb_atom_t> windowStates(xcb_connection_t* connection, xcb_window_t window)
{
    const XReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, netWmState(connection), XCB_ATOM_ATOM, 0, 64), nullptr));
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return {};
    const auto* first = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

void setWindowStates(xcb_connection_t* connection, xcb_window_t window, const std::vector<xcb_atom_t>& states)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netWmState(connection), XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(states.size()), states.data());
}

class SkipTaskbarOnShow : public QObject {
public:
    using QObject::QObject;

protected:
    // Qt keeps the states it finds on an unmapped window and adds its own when it maps it. The
    // window's own show event comes before Qt maps it; the window manager's comes after.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || event->spontaneous())
            return false;
        xcb_connection_t* connection = x11Connection();
        const xcb_atom_t skip =
            connection ? internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR") : xcb_atom_t{XCB_ATOM_NONE};
        if (skip == XCB_ATOM_NONE)
            return false;
        const auto id = static_cast<xcb_window_t>(static_cast<QWidget*>(watched)->winId());
        std::vector<xcb_atom_t> states = windowStates(connection, id);
        if (std::find(states.begin(), states.end(), skip) == states.end()) {
            states.push_back(skip);
            setWindowStates(connection, id, states);
        }
        xcb_flush(connection);
        return false;
    }
};

} // namespace

xcb_connection_t* x11Connection()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name)
{
    const XReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool canOpenXDisplay(const std::string& name)
{
    if (name.empty())
        return false;
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

void keepOffTaskBar(QWidget* window) { window->installEventFilter(new SkipTaskbarOnShow(window)); }

void setNormalInitialState(const QWidget& window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window.internalWinId())
        return;
    const auto id = static_cast<xcb_window_t>(window.internalWinId());
    constexpr std::uint32_t kFields = 9; // flags, input, initial_state, icon pixmap/window/x/y/mask, group
    constexpr std::uint32_t kStateHint = 1u << 1;
    constexpr std::uint32_t kNormalState = 1;
    const XReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kFields), nullptr));
    std::array<std::uint32_t, kFields> hints{};
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        std::copy_n(values, std::min<std::uint32_t>(reply->value_len, kFields), hints.begin());
    }
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    // Sent before Qt's own requests that map the window, on the same connection, so the window
    // manager reads the new hint when it handles the map.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kFields,
                        hints.data());

    // Some window managers (xfwm4) leave _NET_WM_STATE_HIDDEN on a window they withdraw, and Qt
    // keeps the states it does not know when it maps the window again: the same iconic map.
    const xcb_atom_t hidden = internAtom(connection, "_NET_WM_STATE_HIDDEN");
    std::vector<xcb_atom_t> states = windowStates(connection, id);
    if (hidden != XCB_ATOM_NONE && std::erase(states, hidden))
        setWindowStates(connection, id, states);
}

} // namespace latchsweep::qt
