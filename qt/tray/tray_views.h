#pragma once

#include <memory>

#include "core/tray/form4.h"
#include "core/base/tray_port.h"

namespace latchsweep::qt {

class Form1Window;

std::unique_ptr<Form4View> makeForm4View(Form4& presenter);

// The notification-area port on Qt (a QtTrayPort on the desktop's notification area).
std::unique_ptr<TrayPort> makeTrayPort();

// Tray mouse activity goes to this window's mouse-move decoding, and a notification area that
// appears has the window add its icon again.
void connectTrayCallback(TrayPort& port, Form1Window& window);

} // namespace latchsweep::qt
