// The Qt program's resident memory over many openings and closings of its windows.
//
//   window_cycles_qt [cycles=500]       (run it in a scratch working directory, on any display)

#include <QApplication>
#include <QEvent>
#include <fstream>
#include <string>

#include "bench/window_cycles.h"
#include "qt/app/qt_program.h"

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::stol(line.substr(6));
    return -1;
}

// Closed windows are deleted later, from the event loop, as in the running program.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    latchsweep::qt::QtProgram program;
    program.start();
    settle();
    return latchsweep::bench::measureWindowCycles(
        "Qt", program.app(), latchsweep::bench::cyclesFromArguments(argc, argv), settle, residentKiB);
}
