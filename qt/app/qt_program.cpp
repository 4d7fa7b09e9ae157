#include "qt/app/qt_program.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "qt/about/about_views.h"
#include "qt/tray/tray_views.h"
#include "core/app/form1.h"
#include "qt/app/form1_window.h"

namespace latchsweep::qt {

QtProgram::QtProgram()
    : tray_(makeTrayPort()),
      registry_(makeRegistry()),
      launcher_(makeLauncher()),
      platform_(std::make_unique<Platform>(
          Platform{timers_, files_, messages_, process_, *tray_, *registry_, *launcher_})),
      app_(std::make_unique<Application>(*platform_, views_))
{
}

QtProgram::~QtProgram() = default;

void QtProgram::start()
{
    app_->start();
    connectTrayCallback(*tray_, static_cast<Form1Window&>(app_->form1().view()));
    // The desktop session ending is a close request of the main window.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [this](QSessionManager&) { app_->form1().onCloseRequest(); });
    closeOnTerminationSignals(*app_);
}

namespace {
int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}
} // namespace

void closeOnTerminationSignals(Application& app)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qGuiApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qGuiApp, [&app] { app.form1().onCloseRequest(); });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

} // namespace latchsweep::qt
