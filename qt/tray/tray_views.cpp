#include "qt/tray/tray_views.h"

#include <QPointer>

#include "qt/app/form1_window.h"
#include "qt/tray/form4_window.h"
#include "qt/tray/qt_tray_port.h"

namespace latchsweep::qt {

void connectTrayCallback(QtTrayPort& tray, Form1Window& window)
{
    // The window is deleted later than the core lets it go: the handlers reach it only while it is there.
    const QPointer<Form1Window> target(&window);
    // X carries the code as a pixel coordinate in twips, as the platform's runtime turns the
    // callback message into a mouse-move event.
    tray.setCallback(window.handle(), [target](std::int32_t code) {
        if (target)
            target->deliverMouseMove(code * target->twipsPerPixelX());
    });
    tray.setAreaCreatedHandler([target] {
        if (target)
            target->onNotificationAreaCreated();
    });
    tray.setAreaGoneHandler([target] {
        if (target)
            target->onNotificationAreaGone();
    });
    if (tray.popups() != QtTrayPort::Popups::DrawnByHost)
        return;
    // Form4's menu as the host draws it: the host asks for it (AboutToShow), then reports the
    // item chosen, after its menu has closed; the command is posted like the callback message.
    QMenu* menu = buildMenu(form4Menu(), &window);
    QObject::connect(menu, &QMenu::aboutToShow, &window, [&window] { window.onHostPopupShown(); });
    onMenuCommands(menu, [target](Command command) {
        QMetaObject::invokeMethod(
            target,
            [target, command] {
                if (target)
                    target->onHostPopupChosen(command);
            },
            Qt::QueuedConnection);
    });
    tray.setHostMenu(window.handle(), menu);
}

} // namespace latchsweep::qt
