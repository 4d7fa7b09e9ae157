#include "qt/tray/tray_views.h"

#include "qt/app/form1_window.h"
#include "qt/tray/form4_window.h"
#include "qt/tray/qt_tray_port.h"

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
    tray->setAreaGoneHandler([&window] { window.onNotificationAreaGone(); });
    if (tray->popups() != QtTrayPort::Popups::DrawnByHost)
        return;
    // Form4's menu as the host draws it: the host asks for it (AboutToShow), then reports the
    // item chosen, after its menu has closed; the command is posted like the callback message.
    QMenu* menu = buildMenu(form4Menu(), &window);
    QObject::connect(menu, &QMenu::aboutToShow, &window, [&window] { window.onHostPopupShown(); });
    for (QAction* action : menu->findChildren<QAction*>()) {
        const Command command = menuCommand(action);
        if (command == Command::None)
            continue;
        QObject::connect(action, &QAction::triggered, &window, [&window, command] {
            QMetaObject::invokeMethod(&window, [&window, command] { window.onHostPopupChosen(command); },
                                      Qt::QueuedConnection);
        });
    }
    tray->setHostMenu(window.handle(), menu);
}

} // namespace latchsweep::qt
