// The platform ports of the Windows build on the real system: SetTimer behind the core's timer
// rules, the file system's deletion and write rules, and the message box.

#include <gtest/gtest.h>

#include "app/timer.h"
#include "app/win32_file_system.h"
#include "app/win32_platform.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

// Timing under Wine on a shared machine is loose: these tests check order and meaning with
// wide margins, never precision.
class TimerTest : public ::testing::Test {
protected:
    Win32TimerFactory factory;
    std::vector<Clock::time_point> expiries;
    Clock::time_point start = Clock::now();
};

TEST_F(TimerTest, EnabledTimerExpiresRepeatedlyAndStopsWhenDisabled)
{
    Timer timer(factory, 100, [&] { expiries.push_back(Clock::now()); });
    pumpFor(250ms);
    EXPECT_TRUE(expiries.empty()) << "a timer is disabled until enabled";

    timer.setEnabled(true);
    start = Clock::now();
    ASSERT_TRUE(pumpUntil([&] { return expiries.size() >= 4; }, 3s));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(expiries[0] - start).count(), 80);

    timer.setEnabled(false);
    const std::size_t seen = expiries.size();
    pumpFor(400ms);
    EXPECT_EQ(expiries.size(), seen);
}

TEST_F(TimerTest, AssigningTheSamePeriodKeepsTheCountdown)
{
    Timer timer(factory, 1000, [&] { expiries.push_back(Clock::now()); });
    timer.setEnabled(true);
    pumpFor(500ms);
    EXPECT_TRUE(timer.setInterval(1000));
    ASSERT_TRUE(pumpUntil([&] { return !expiries.empty(); }, 3s));
    // A restart at 500 ms would have put the first expiry near 1500 ms.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(expiries[0] - start).count(), 1350);
}

TEST_F(TimerTest, AChangedPeriodRestartsTheCountdownFromTheAssignment)
{
    Timer timer(factory, 1000, [&] { expiries.push_back(Clock::now()); });
    timer.setEnabled(true);
    pumpFor(500ms);
    const auto assigned = Clock::now();
    EXPECT_TRUE(timer.setInterval(700));
    ASSERT_TRUE(pumpUntil([&] { return !expiries.empty(); }, 3s));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(expiries[0] - assigned).count(), 600);
}

TEST_F(TimerTest, PeriodZeroNeverExpiresAndALaterPeriodResumes)
{
    Timer timer(factory, 100, [&] { expiries.push_back(Clock::now()); });
    timer.setEnabled(true);
    EXPECT_TRUE(timer.setInterval(0));
    EXPECT_FALSE(timer.setInterval(-5));
    EXPECT_EQ(timer.interval(), 0);
    pumpFor(400ms);
    EXPECT_TRUE(expiries.empty());
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(timer.setInterval(50));
    EXPECT_TRUE(pumpUntil([&] { return !expiries.empty(); }, 2s));
}

TEST_F(TimerTest, EachDriverExpiresOnItsOwn)
{
    int fast = 0;
    int slow = 0;
    Timer a(factory, 60, [&] { ++fast; });
    Timer b(factory, 5000, [&] { ++slow; });
    a.setEnabled(true);
    b.setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return fast >= 3; }, 3s));
    EXPECT_EQ(slow, 0);
}

class FileSystemTest : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    Win32FileSystem files;
};

TEST_F(FileSystemTest, RemoveFileDeletesOneNormalFileAndNothingElse)
{
    const std::string lock = scratch / "MM2.LOCK";
    writeFile(lock, "x");
    EXPECT_TRUE(files.removeFile(lock));
    EXPECT_FALSE(exists(lock));
    EXPECT_FALSE(files.removeFile(lock)) << "a missing file";
    EXPECT_FALSE(files.removeFile(""));

    // Patterns are refused, whatever they would match.
    writeFile(scratch / "a.LOCK", "");
    writeFile(scratch / "b.LOCK", "");
    EXPECT_FALSE(files.removeFile(scratch / "*.LOCK"));
    EXPECT_FALSE(files.removeFile(scratch / "?.LOCK"));
    EXPECT_TRUE(exists(scratch / "a.LOCK"));
    EXPECT_TRUE(exists(scratch / "b.LOCK"));

    // A directory is never deleted, even an empty one.
    CreateDirectoryA((scratch / "MM2 dir").c_str(), nullptr);
    EXPECT_FALSE(files.removeFile(scratch / "MM2 dir"));
    EXPECT_TRUE(exists(scratch / "MM2 dir"));

    // A read-only file stays: the system refuses, as for a lock file in use.
    const std::string locked = scratch / "readonly.LOCK";
    writeFile(locked, "");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(files.removeFile(locked));
    EXPECT_TRUE(exists(locked));
}

TEST_F(FileSystemTest, IsNormalFileCountsNeitherDirectoriesNorHiddenNorSystemFiles)
{
    const std::string normal = scratch / "MSINFO32.EXE";
    writeFile(normal, "");
    EXPECT_TRUE(files.isNormalFile(normal));
    const std::string hidden = scratch / "hidden.exe";
    writeFile(hidden, "");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(files.isNormalFile(hidden));
    const std::string system = scratch / "system.exe";
    writeFile(system, "");
    SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(files.isNormalFile(system));
    EXPECT_FALSE(files.isNormalFile(scratch.path().string()));
    EXPECT_FALSE(files.isNormalFile(scratch / "missing.exe"));
    EXPECT_FALSE(files.isNormalFile(scratch / "*.EXE"));
}

TEST_F(FileSystemTest, ReplaceFileWritesTheWholeContentAndLeavesNoTemporaryBehind)
{
    const std::string target = scratch / "Directory.txt";
    writeFile(target, "an old, longer first line\r\nand a second\r\n");
    const WriteStatus status = files.replaceFile(target, "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_TRUE(status.ok) << status.reason;
    EXPECT_EQ(readFile(target), "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_TRUE(files.replaceFile(scratch / "AutoDelete.txt", "10000\r\n").ok);
    EXPECT_EQ(readFile(scratch / "AutoDelete.txt"), "10000\r\n");

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"AutoDelete.txt", "Directory.txt"}));
}

TEST_F(FileSystemTest, AFailedReplaceReportsTheSystemsReasonAndKeepsTheOldFile)
{
    const std::string target = scratch / "Directory.txt";
    writeFile(target, "kept\r\n");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    const WriteStatus status = files.replaceFile(target, "new\r\n");
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.reason.empty());
    EXPECT_EQ(readFile(target), "kept\r\n");

    const WriteStatus intoMissingDirectory = files.replaceFile(scratch / "no such dir\\AutoDelete.txt", "1\r\n");
    EXPECT_FALSE(intoMissingDirectory.ok);
    EXPECT_FALSE(intoMissingDirectory.reason.empty());

    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(scratch.path()))
        ++count;
    EXPECT_EQ(count, 1u) << "no temporary file left";
}

TEST_F(FileSystemTest, ReadHeadReadsAtMostTheBoundOfADiskFile)
{
    const std::string file = scratch / "help.txt";
    writeFile(file, "0123456789");
    EXPECT_EQ(files.readHead(file, 4), "0123");
    EXPECT_EQ(files.readHead(file, 100), "0123456789");
    EXPECT_EQ(files.readHead(scratch / "missing.txt", 10), std::nullopt);
    EXPECT_EQ(files.readHead(scratch.path().string(), 10), std::nullopt);
    EXPECT_EQ(files.readHead("NUL", 10), std::nullopt) << "a device is not a file";
}

TEST_F(FileSystemTest, DirectoriesAreListedByName)
{
    CreateDirectoryA((scratch / "Midtown Madness 2").c_str(), nullptr);
    CreateDirectoryA((scratch / "Other").c_str(), nullptr);
    writeFile(scratch / "file.txt", "");
    auto names = files.subdirectories(scratch.path().string());
    ASSERT_TRUE(names.has_value());
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"Midtown Madness 2", "Other"}));
    EXPECT_EQ(files.subdirectories(scratch / "missing"), std::nullopt);

    const WorkingDirectory cwd(scratch.path());
    EXPECT_EQ(std::filesystem::path(files.currentDirectory()), scratch.path());
    EXPECT_EQ(files.separator(), '\\');
}

TEST(MessageBoxTest, ShowsTextAndTitleWithOneOkButtonAndReturnsWhenDismissed)
{
    BoxAnswerer answerer;
    Win32MessageBoxes boxes;
    boxes.show("Midtown Madness 2 Directory Saved", "Success");
    const auto answered = answerer.answered();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].title, "Success");
    EXPECT_EQ(answered[0].text, "Midtown Madness 2 Directory Saved");
    EXPECT_EQ(answered[0].buttons, 1);
}

} // namespace
} // namespace latchsweep::win32
