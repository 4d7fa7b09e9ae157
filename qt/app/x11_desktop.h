#pragma once

#include <string>

class QWidget;

namespace latchsweep::qt {

// Whether the X display of that name can be opened; an empty name is never tried. The program
// asks before Qt does, since Qt's X11 platform aborts the process when it cannot connect.
bool canOpenXDisplay(const std::string& name);

// Keeps a top-level window off the task bar on X11 with _NET_WM_STATE_SKIP_TASKBAR, which task
// bars such as XFCE's honour where they ignore the window's type. The state is put on the window
// each time before it is mapped: a window manager drops it when the window is withdrawn. Off X11
// this does nothing.
void keepOffTaskBar(QWidget* window);

} // namespace latchsweep::qt
