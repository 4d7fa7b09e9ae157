#include "qt/app/qt_program.h"

#include <QGuiApplication>

#include "core/app/form1.h"
#include "qt/tray/tray_views.h"

namespace latchsweep::qt {

QtProgram::QtProgram()
    : messages_(views_.widgets()),
      platform_{timers_, files_, messages_, process_, tray_, registry_, nullptr},
      app_(std::make_unique<Application>(platform_, views_))
{}

QtProgram::~QtProgram() = default;

void QtProgram::start()
{
    app_->start();
    connectTrayCallback(tray_, *views_.form1Window());
    // The desktop session ending is a close request of the main window.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [this](QSessionManager&) { app_->form1().onCloseRequest(); });
    closeOnTerminationSignals();
}

void QtProgram::closeOnTerminationSignals()
{
    const int readEnd = signals_.emplace().readEnd();
    if (readEnd < 0)
        return;
    signalNotifier_ = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, signalNotifier_.get(),
                     [this] { app_->form1().onCloseRequest(); });
}

} // namespace latchsweep::qt
