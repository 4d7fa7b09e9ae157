#pragma once

#include <QSocketNotifier>
#include <memory>
#include <optional>

#include "core/app/application.h"
#include "platform/posix/no_registry.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/termination_signals.h"
#include "qt/app/form_window.h"
#include "qt/app/qt_platform.h"
#include "qt/tray/qt_tray_port.h"

namespace latchsweep::qt {

// The notification area's events go to the main window: mouse activity over the icon to its
// mouse-move decoding, an area that appears or goes away to its handlers, and where the tray
// host draws the pop-up itself, the pop-up's menu to the host. The menu handed over is returned.
std::unique_ptr<QMenu> connectTray(QtTrayPort& tray, Application& app);

// The program on Qt: the platform's ports, the views and the core application.
class QtProgram {
public:
    QtProgram();

    void start();
    Application& app() { return *app_; }

private:
    QtViewFactory views_;
    QtTimerFactory timers_;
    PosixFileSystem files_;
    QtMessageBoxes messages_;
    QtProcessControl process_;
    QtTrayPort tray_;
    std::unique_ptr<QMenu> hostMenu_;
    NoRegistry registry_;
    Platform platform_;
    std::unique_ptr<Application> app_;
    std::optional<TerminationSignals> signals_;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
};

} // namespace latchsweep::qt
