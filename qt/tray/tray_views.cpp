#include "tray_views.h"

#include "../app/form1_window.h"
#include "form4_window.h"
#include "qt_tray_port.h"

namespace latchsweep::qt {

std::unique_ptr<Form4View> makeForm4View(Form4&) { return std::make_unique<Form4Window>(); }

std::unique_ptr<TrayPort> makeTrayPort() { return std::make_unique<QtTrayPort>(); }

void connectTrayCallback(TrayPort& port, Form1Window& window)
{
    auto* tray = dynamic_cast<QtTrayPort*>(&port);
    if (!tray)
        return;
    // X carries the code as a pixel coordinate in twips, as the platform's runtime turns the
    // callback message into a mouse-move event.
    tray->setCallback(window.handle(),
                      [&window](std::int32_t code) { window.deliverMouseMove(code * window.twipsPerPixelX()); });
    tray->setAreaCreatedHandler([&window] { window.onNotificationAreaCreated(); });
}

} // namespace latchsweep::qt
