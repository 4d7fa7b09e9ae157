#pragma once

// What every notification-area port promises the tray operations, run against each one (the Qt
// port, the Win32 port on the real shell, the test double): one icon per (hWnd, uID); an add
// needs a pair not yet there, a modify or a delete one that is. The steps leave no icon behind.

#include <string>
#include <vector>

#include "core/base/tray_port.h"

namespace latchsweep {

// The steps the port answered otherwise than the rules say, one line each; none when it keeps
// them. `first` and `second` are two windows able to own icons, `icon` an icon to show; the
// port must have a notification area.
std::vector<std::string> trayPortContractViolations(TrayPort& port, WindowHandle first, WindowHandle second,
                                                    IconHandle icon);

} // namespace latchsweep
