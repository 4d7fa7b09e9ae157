// The platform ports of the Windows build on the real system: SetTimer behind the core's timer
// rules, the file system's rules for deleting and writing, and the message box.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <tuple>

#include "core/base/timer.h"
#include "tests/win32/support/win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Timing under Wine on a shared machine is loose: order and meaning with wide margins only.
TEST(TimerTest, EnabledTimersExpireRepeatedlyEachOnItsOwnAndStopWhenDisabled)
{
    Win32TimerFactory factory;
    int fast = 0;
    int slow = 0;
    Timer a(factory, 100, [&] { ++fast; });
    Timer b(factory, 5000, [&] { ++slow; });
    pumpFor(250ms);
    EXPECT_EQ(fast, 0) << "a timer is disabled until enabled";
    const auto start = Clock::now();
    a.setEnabled(true);
    b.setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return fast == 1; }, 3s));
    EXPECT_GE(msSince(start), 80);
    ASSERT_TRUE(pumpUntil([&] { return fast >= 4; }, 3s));
    EXPECT_EQ(slow, 0);
    a.setEnabled(false);
    const int seen = fast;
    pumpFor(400ms);
    EXPECT_EQ(fast, seen);
}

TEST(TimerTest, AChangedPeriodRestartsTheCountdownFromTheAssignment)
{
    Win32TimerFactory factory;
    std::vector<Clock::time_point> expiries;
    Timer timer(factory, 1000, [&] { expiries.push_back(Clock::now()); });
    timer.setEnabled(true);
    pumpFor(500ms);
    const auto assigned = Clock::now();
    EXPECT_TRUE(timer.setInterval(700));
    ASSERT_TRUE(pumpUntil([&] { return !expiries.empty(); }, 3s));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(expiries[0] - assigned).count(), 600);
}

class FileSystemTest : public ::testing::Test {
protected:
    std::vector<std::string> names()
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    ScratchDirectory scratch;
    Win32FileSystem files;
};

TEST_F(FileSystemTest, RemoveFileDeletesOneNormalFileOnlyAndIsNormalFileAgrees)
{
    for (const char* name : {"MM2.LOCK", "a.LOCK", "b.LOCK", "readonly.LOCK", "hidden.exe", "system.exe"})
        writeFile(scratch / name, "x");
    CreateDirectoryA((scratch / "MM2 dir").c_str(), nullptr);
    SetFileAttributesA((scratch / "readonly.LOCK").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((scratch / "hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((scratch / "system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
    for (const char* name : {"MM2.LOCK", "readonly.LOCK"})
        EXPECT_TRUE(files.isNormalFile(scratch / name)) << name;
    for (const char* name : {"hidden.exe", "system.exe", "MM2 dir", "missing.exe", "*.LOCK", ""})
        EXPECT_FALSE(files.isNormalFile(name[0] ? scratch / name : std::string())) << name;
    EXPECT_TRUE(files.removeFile(scratch / "MM2.LOCK"));
    // A missing file, patterns whatever they match, a directory, a read-only file (as a lock in use).
    for (const char* name : {"MM2.LOCK", "*.LOCK", "?.LOCK", "MM2 dir", "readonly.LOCK", ""})
        EXPECT_FALSE(files.removeFile(name[0] ? scratch / name : std::string())) << name;
    EXPECT_EQ(names(),
              (std::vector<std::string>{"MM2 dir", "a.LOCK", "b.LOCK", "hidden.exe", "readonly.LOCK", "system.exe"}));
}

TEST_F(FileSystemTest, ReplaceFileWritesEverythingOrKeepsTheOldFileAndLeavesNoTemporary)
{
    const std::string target = scratch / "Directory.txt";
    writeFile(target, "an old, longer first line\r\nand a second\r\n");
    const WriteStatus status = files.replaceFile(target, "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_TRUE(status.ok) << status.reason;
    EXPECT_EQ(readFile(target), "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_TRUE(files.replaceFile(scratch / "AutoDelete.txt", "10000\r\n").ok);
    EXPECT_EQ(readFile(scratch / "AutoDelete.txt"), "10000\r\n");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    for (const std::string& path : {target, scratch / "no such dir\\AutoDelete.txt"}) {
        const WriteStatus failed = files.replaceFile(path, "new\r\n");
        EXPECT_FALSE(failed.ok) << path;
        EXPECT_FALSE(failed.reason.empty()) << path;
    }
    EXPECT_EQ(readFile(target), "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"AutoDelete.txt", "Directory.txt"}));
}

TEST_F(FileSystemTest, ReadHeadReadsADiskFileUpToTheBoundAndDirectoriesAreListedByName)
{
    const std::string file = scratch / "help.txt";
    writeFile(file, "0123456789");
    EXPECT_EQ(files.readHead(file, 4), "0123");
    EXPECT_EQ(files.readHead(file, 100), "0123456789");
    for (const std::string& path : {scratch / "missing.txt", scratch.path().string(), std::string("NUL")})
        EXPECT_EQ(files.readHead(path, 10), std::nullopt) << path;
    CreateDirectoryA((scratch / "Midtown Madness 2").c_str(), nullptr);
    CreateDirectoryA((scratch / "Other").c_str(), nullptr);
    auto subdirectories = files.subdirectories(scratch.path().string());
    ASSERT_TRUE(subdirectories.has_value());
    std::sort(subdirectories->begin(), subdirectories->end());
    EXPECT_EQ(*subdirectories, (std::vector<std::string>{"Midtown Madness 2", "Other"}));
    EXPECT_EQ(files.subdirectories(scratch / "missing"), std::nullopt);
    const WorkingDirectory cwd(scratch.path());
    EXPECT_EQ(std::filesystem::path(files.currentDirectory()), scratch.path());
    EXPECT_EQ(files.separator(), '\\');
}

TEST(TextDecodingTest, TextIsReadInTheSystemsCodePageAndOthersAreConvertedByTheSystem)
{
    const TextDecoding decoding = Win32FileSystem().textDecoding();
    EXPECT_EQ(decoding.codePage, GetACP());
    // The test runner pins Wine's ANSI code page to the Western one (wine-run.sh), so that the
    // tests of text in that code page give the same result on every machine.
    EXPECT_EQ(GetACP(), kCodePageWindows1252);
    ASSERT_NE(decoding.convert, nullptr);
    const std::tuple<unsigned, std::string_view, std::optional<std::string>> cases[] = {
        {1251, "\xcf\xf0\xe8\xe2\xe5\xf2", "\u041f\u0440\u0438\u0432\u0435\u0442"},
        {1253, "\xe1\xe2\xe3", "\u03b1\u03b2\u03b3"},
        {932, "\x82\xa0x", "\u3042x"},
        {1250, "", ""},
        {54321, "abc", std::nullopt}, // no such code page
    };
    for (const auto& [codePage, bytes, text] : cases)
        EXPECT_EQ(decoding.convert(codePage, bytes), text) << codePage;
}

TEST(MessageBoxTest, ShowsTextAndTitleWithOneOkButtonAndReturnsWhenDismissed)
{
    BoxAnswerer answerer;
    Win32MessageBoxes().show(nullptr, "Midtown Madness 2 Directory Saved", "Success");
    const auto answered = answerer.answered();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].title, "Success");
    EXPECT_EQ(answered[0].text, "Midtown Madness 2 Directory Saved");
    EXPECT_EQ(answered[0].buttons, 1);
}

} // namespace
} // namespace latchsweep::win32
