#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

class QWidget;

namespace latchsweep::qt {

// What the Qt front end says to the X server where Qt has no API for it. Every call does nothing
// off X11 (another platform, or the offscreen one in tests).

struct FreeXReply {
    void operator()(void* reply) const { std::free(reply); }
};
// A reply of libxcb, which the caller frees with free().
template <class Reply>
using XReply = std::unique_ptr<Reply, FreeXReply>;

// Qt's own connection to the X server, or null off X11.
xcb_connection_t* x11Connection();
xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name);

// Whether the X display of that name can be opened; an empty name is never tried. The program
// asks before Qt does, since Qt's X11 platform aborts the process when it cannot connect.
bool canOpenXDisplay(const std::string& name);

// Keeps a top-level window off the task bar on X11 with _NET_WM_STATE_SKIP_TASKBAR, which task
// bars such as XFCE's honour where they ignore the window's type. The state is put on the window
// each time before it is mapped: a window manager drops it when the window is withdrawn.
void keepOffTaskBar(QWidget* window);

// An unmapped X11 window keeps the "initial state Iconic" of WM_HINTS from the minimise that
// came before it was hidden. Qt maps the window again before it rewrites that hint, and a window
// manager then maps it iconic; setting the hint to normal first (and dropping a hidden state the
// window manager left) makes the next map a normal one.
void setNormalInitialState(const QWidget& window);

} // namespace latchsweep::qt
