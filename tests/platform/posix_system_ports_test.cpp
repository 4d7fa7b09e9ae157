// Starting programs and the termination signals on POSIX.

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

#include "platform/posix/posix_launcher.h"
#include "platform/posix/termination_signals.h"
#include "tests/platform/scratch_directory.h"

namespace latchsweep {
namespace {

namespace fs = std::filesystem;

class PosixLauncherTest : public ScratchDirectory {
protected:
    static void writeProgram(const fs::path& path, const std::string& script)
    {
        write(path, script);
        fs::permissions(path, fs::perms::owner_all);
    }
    // The child runs on its own: its trace shows up a moment after the launch.
    static bool appears(const fs::path& path)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(path) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(path);
    }

    PosixLauncher launcher_;
};

TEST_F(PosixLauncherTest, StartsThePathAsGivenNeverSplitAtSpaces)
{
    // "my" beside "my tools": a launcher that split at spaces would start it.
    fs::create_directory("my tools");
    writeProgram("my", "#!/bin/sh\n: > split.ran\n");
    writeProgram("my tools/run me", "#!/bin/sh\n: > \"$0.ran\"\n");
    EXPECT_TRUE(launcher_.launch((dir_ / "my tools/run me").string()));
    EXPECT_TRUE(appears("my tools/run me.ran"));
    EXPECT_FALSE(fs::exists("split.ran"));
    fs::remove("my tools/run me.ran");
    EXPECT_TRUE(launcher_.launch("my tools/run me")); // relative to the working directory
    EXPECT_TRUE(appears("my tools/run me.ran"));
}

TEST_F(PosixLauncherTest, ReportsWhatCannotBeStarted)
{
    write("plain.txt", "not a program");
    fs::permissions("plain.txt", fs::perms::owner_read | fs::perms::owner_write);
    // Empty, missing, not executable, a directory, a name cut short by a NUL, and a bare name
    // that only a search of PATH would find.
    for (const std::string& path : {std::string(), std::string("missing-program"), std::string("plain.txt"),
                                    dir_.string(), std::string("/bin/true\0x", 11), std::string("true")})
        EXPECT_FALSE(launcher_.launch(path)) << path;
}

TEST(TerminationSignals, EachSignalBecomesAByteOnThePipeInsteadOfEndingTheProcess)
{
    TerminationSignals signals;
    const int pipe = signals.readEnd();
    ASSERT_GE(pipe, 0);
    // Programs the about box starts must not inherit it.
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
