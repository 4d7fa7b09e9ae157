#pragma once

#include <memory>

#include "core/app/application.h"
#include "platform/posix/posix_file_system.h"
#include "qt/app/qt_platform.h"
#include "qt/app/qt_view_factory.h"

namespace latchsweep::qt {

// The program on Qt: the platform's ports, the views and the core application.
class QtProgram {
public:
    QtProgram();
    ~QtProgram();
    void start();
    Application& app() { return *app_; }

private:
    QtTimerFactory timers_;
    PosixFileSystem files_;
    QtMessageBoxes messages_;
    QtProcessControl process_;
    std::unique_ptr<TrayPort> tray_;
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<Launcher> launcher_;
    std::unique_ptr<Platform> platform_;
    QtViewFactory views_;
    std::unique_ptr<Application> app_;
};

// Turns SIGTERM, SIGINT and SIGHUP (the end of a session) into the main window's close request,
// so that the notification-area icon is removed on those ways out too.
void closeOnTerminationSignals(Application& app);

} // namespace latchsweep::qt
