#pragma once

namespace latchsweep {

// SIGTERM, SIGINT and SIGHUP (the end of a session) as a byte on a pipe, for an event loop to
// watch: a signal handler may do no more than write. While an instance exists the signals no
// longer end the process; there is one instance at a time in a process.
class TerminationSignals {
public:
    // Makes the pipe and installs the handlers. Without a pipe no handler is installed and
    // readEnd() is -1: the signals keep their default action.
    TerminationSignals();
    // Gives the signals their default action back and closes the pipe.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The pipe's non-blocking read end: readable once one of the signals has arrived.
    [[nodiscard]] int readEnd() const;
};

} // namespace latchsweep
