// The platform ports of the Windows build on the real system: SetTimer behind the core's timer
// rules, the file system's rules for deleting and writing, and the message box.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "core/base/timer.h"
#include "tests/support/file_system_contract.h"
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

// A copy of this program that never runs a line: it holds its process id until it is ended.
class SuspendedCopy {
public:
    SuspendedCopy()
    {
        wchar_t program[MAX_PATH];
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"copy";
        if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                            &startup, &started_))
            ADD_FAILURE() << "no copy of the test program started: " << GetLastError();
    }
    ~SuspendedCopy() { end(); }
    SuspendedCopy(const SuspendedCopy&) = delete;
    SuspendedCopy& operator=(const SuspendedCopy&) = delete;
    [[nodiscard]] ProcessId id() const { return started_.dwProcessId; }
    // Once the last handle is closed, no process has the id any more.
    void end()
    {
        if (!started_.hProcess)
            return;
        TerminateProcess(started_.hProcess, 0);
        WaitForSingleObject(started_.hProcess, INFINITE);
        CloseHandle(started_.hThread);
        CloseHandle(started_.hProcess);
        started_ = {};
    }

private:
    PROCESS_INFORMATION started_{};
};

struct Win32Traits {
    static std::unique_ptr<FileSystem> make() { return std::make_unique<Win32FileSystem>(); }
    static void makeReadOnly(const std::filesystem::path& file)
    {
        SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_READONLY);
    }
    static bool readOnlyHolds() { return true; }
    static void setByUser(const std::filesystem::path& file)
    {
        SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    static bool setByUserHolds(const std::filesystem::path& file)
    {
        const DWORD attributes = GetFileAttributesW(file.wstring().c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
    }
    struct Processes {
        ProcessId self = GetCurrentProcessId();
        SuspendedCopy runningCopy;
        ProcessId running = runningCopy.id();
        ProcessId ended = endedProcess();
    };
    static ProcessId endedProcess()
    {
        SuspendedCopy copy;
        const ProcessId id = copy.id();
        copy.end();
        return id;
    }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, Win32Traits);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32BareNames, FileSystemContract, BareNames<Win32Traits>);

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

TEST_F(FileSystemTest, HiddenAndSystemFilesAreNoNormalFilesAndAReadOnlyLockStays)
{
    for (const char* name : {"readonly.LOCK", "hidden.exe", "system.exe"})
        writeFile(scratch / name, "x");
    SetFileAttributesA((scratch / "readonly.LOCK").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((scratch / "hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((scratch / "system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(files.isNormalFile(scratch / "readonly.LOCK"));
    for (const char* name : {"hidden.exe", "system.exe", "*.LOCK", ""})
        EXPECT_FALSE(files.isNormalFile(name[0] ? scratch / name : std::string())) << name;
    // Read-only, as a lock file in use may be: the delete fails and the sweep goes on.
    EXPECT_FALSE(files.removeFile(scratch / "readonly.LOCK"));
    EXPECT_EQ(names(), (std::vector<std::string>{"hidden.exe", "readonly.LOCK", "system.exe"}));
}

TEST_F(FileSystemTest, ADeviceIsNoFileToReadAndTheWorkingDirectoryIsTheProcesss)
{
    EXPECT_EQ(files.readHead("NUL", 10), std::nullopt);
    const WorkingDirectory cwd(scratch.path());
    EXPECT_EQ(std::filesystem::path(files.currentDirectory()), scratch.path());
    EXPECT_EQ(files.separator(), '\\');
}

TEST_F(FileSystemTest, NamesOutsideTheAnsiCodePageWorkAndAMalformedNameIsRefusedNeverTurnedIntoAnother)
{
    const std::string base = toUtf8(scratch.path().wstring());
    const std::string name = "\u0418\u0433\u0440\u044b";
    const std::string games = base + "\\" + name;
    ASSERT_TRUE(CreateDirectoryW(fromUtf8(games).c_str(), nullptr));
    EXPECT_EQ(files.subdirectories(base), (std::vector<std::string>{name}));
    const std::string lock = games + "\\MM2.LOCK";
    EXPECT_TRUE(files.replaceFile(lock, "x\r\n").ok);
    EXPECT_EQ(files.readHead(lock, 10), "x\r\n");
    EXPECT_TRUE(files.isNormalFile(lock));
    {
        const WorkingDirectory cwd{std::filesystem::path(fromUtf8(games))};
        EXPECT_EQ(files.currentDirectory(), games);
    }
    EXPECT_TRUE(files.removeFile(lock));

    // U+FFFD is what a lenient conversion makes of a malformed byte: that file must stay alone.
    const std::wstring replaced = fromUtf8(base + "\\bad\uFFFD");
    HANDLE made = CreateFileW(replaced.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    for (const std::string& malformed : {base + "\\bad\xFF", base + "\\bad\xC3", base + "\\bad\xED\xA0\x80"}) {
        EXPECT_FALSE(files.removeFile(malformed));
        EXPECT_FALSE(files.isNormalFile(malformed));
        EXPECT_EQ(files.readHead(malformed, 10), std::nullopt);
        EXPECT_FALSE(files.replaceFile(malformed, "y\r\n").ok);
        EXPECT_EQ(files.subdirectories(malformed), std::nullopt);
    }
    EXPECT_NE(GetFileAttributesW(replaced.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.readHead(base + "\\bad\uFFFD", 10), "");
}

TEST_F(FileSystemTest, ReportsEveryDriveInLetterOrderAndNeverAsksForADisk)
{
    // Wine's prefix has C: (its drive_c) and Z: (the root of the file system).
    const std::vector<std::string> drives = files.drives();
    EXPECT_TRUE(std::ranges::is_sorted(drives));
    for (const char* drive : {"C:\\", "Z:\\"})
        EXPECT_NE(std::ranges::find(drives, drive), drives.end()) << drive;
    EXPECT_TRUE(GetThreadErrorMode() & SEM_FAILCRITICALERRORS);
}

TEST(TextDecodingTest, TextIsWrittenInACodePageOnlyWhenEveryCharacterIsSpelledExactly)
{
    const TextDecoding decoding = Win32FileSystem().textDecoding();
    ASSERT_NE(decoding.encode, nullptr);
    const std::tuple<unsigned, std::string_view, std::optional<std::string>> cases[] = {
        {1252, "C:\\Caf\u00e9 \u20ac", "C:\\Caf\xe9 \x80"},
        {1252, "\u0418\u0433\u0440\u044b", std::nullopt},
        {1252, "\u0101", std::nullopt}, // a best fit would write "a"
        {1252, "\u221e", std::nullopt}, // and "8" for infinity
        {1251, "\u0418\u0433\u0440\u044b", "\xc8\xe3\xf0\xfb"},
        {1252, "Caf\xe9", std::nullopt}, // not UTF-8
        {54321, "abc", std::nullopt},    // no such code page
    };
    for (const auto& [codePage, text, bytes] : cases)
        EXPECT_EQ(decoding.encode(codePage, text), bytes) << codePage << " " << text;
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
