#include "qt/app/qt_program.h"

#include <QGuiApplication>

#include "core/app/form1.h"
#include "core/tray/form4.h"
#include "qt/app/menus.h"

namespace latchsweep::qt {

std::unique_ptr<QMenu> connectTray(QtTrayPort& tray, Application& app)
{
    Form1& form = app.form1();
    // X carries the code as a pixel coordinate in twips, as the platform's runtime turns the
    // callback message into a mouse-move event.
    tray.setCallback(form.view().handle(),
                     [&form](std::int32_t code) { form.onMouseMove(code * form.view().twipsPerPixelX()); });
    tray.setAreaCreatedHandler([&form] { form.onNotificationAreaCreated(); });
    tray.setAreaGoneHandler([&form] { form.onNotificationAreaGone(); });
    if (tray.popups() != QtTrayPort::Popups::DrawnByHost)
        return nullptr;
    // Form4's menu as the host draws it: the host asks for it (AboutToShow), then reports the
    // item chosen, after its menu has closed; the command is posted like the callback message.
    std::unique_ptr<QMenu> menu(buildMenu(form4Menu(), nullptr));
    QObject::connect(menu.get(), &QMenu::aboutToShow, menu.get(), [&form] { form.onHostPopupShown(); });
    onMenuCommands(menu.get(), [&tray, &form](Command command) {
        QMetaObject::invokeMethod(
            &tray, [&form, command] { form.onHostPopupChosen(command); }, Qt::QueuedConnection);
    });
    tray.setHostMenu(form.view().handle(), menu.get());
    return menu;
}

QtProgram::QtProgram()
    : platform_{timers_, files_, messages_, process_, tray_, registry_, nullptr},
      app_(std::make_unique<Application>(platform_, views_))
{}

void QtProgram::start()
{
    app_->start();
    hostMenu_ = connectTray(tray_, *app_);
    // The desktop session ending is a close request of the main window.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [this](QSessionManager&) { app_->form1().onClose(); });
    // So are SIGTERM, SIGINT and SIGHUP (the end of a session), so that the notification-area
    // icon is removed on those ways out too.
    const int readEnd = signals_.emplace().readEnd();
    if (readEnd < 0)
        return;
    signalNotifier_ = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, signalNotifier_.get(),
                     [this] { app_->form1().onClose(); });
}

} // namespace latchsweep::qt
