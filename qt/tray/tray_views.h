#pragma once

namespace latchsweep::qt {

class Form1Window;
class QtTrayPort;

// Tray mouse activity goes to this window's mouse-move decoding, and a notification area that
// appears has the window add its icon again.
void connectTrayCallback(QtTrayPort& tray, Form1Window& window);

} // namespace latchsweep::qt
