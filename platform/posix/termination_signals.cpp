#include "platform/posix/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace latchsweep {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler reaches the pipe only through a global.
int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int)
{
    const int interrupted = errno; // the code the signal interrupted may be about to read it
    const char byte = 1;
    // A full pipe already says that a signal came.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = interrupted;
}

void handleSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

void closePipe()
{
    for (int& end : signalPipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

} // namespace

TerminationSignals::TerminationSignals()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    handleSignals(onTerminationSignal);
}

TerminationSignals::~TerminationSignals()
{
    if (signalPipe[0] < 0)
        return;
    handleSignals(SIG_DFL);
    closePipe();
}

int TerminationSignals::readEnd() const { return signalPipe[0]; }

} // namespace latchsweep
