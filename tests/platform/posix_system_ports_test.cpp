// The termination signals on POSIX.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/termination_signals.h"
#include "tests/platform/scratch_directory.h"

namespace latchsweep {
namespace {

namespace fs = std::filesystem;

TEST(TerminationSignals, EachSignalBecomesAByteOnThePipeInsteadOfEndingTheProcess)
{
    TerminationSignals signals;
    const int pipe = signals.readEnd();
    ASSERT_GE(pipe, 0);
    // No program started from this one may inherit it.
    EXPECT_TRUE(::fcntl(pipe, F_GETFD) & FD_CLOEXEC);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(::raise(signal), 0) << signal; // without the handler, the end of this test
        char byte = 0;
        EXPECT_EQ(::read(pipe, &byte, 1), 1) << signal;
        // Non-blocking: an empty pipe answers at once.
        EXPECT_EQ(::read(pipe, &byte, 1), -1) << signal;
        EXPECT_EQ(errno, EAGAIN) << signal;
    }
}

TEST(TerminationSignals, TheSignalsGetTheirDefaultActionBack)
{
    int pipe = -1;
    {
        TerminationSignals signals;
        pipe = signals.readEnd();
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current {};
        ASSERT_EQ(::sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << signal;
    }
    EXPECT_EQ(::fcntl(pipe, F_GETFD), -1); // closed
}

} // namespace
} // namespace latchsweep
