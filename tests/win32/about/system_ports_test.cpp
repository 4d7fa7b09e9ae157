// The registry and launch ports on the real system: values the test writes into the registry
// (the Wine prefix of the build when run there), and a program started from a path with spaces.

#include <gtest/gtest.h>

#include "about/sysinfo.h"
#include "about/win32_system_ports.h"
#include "app/win32_file_system.h"
#include "app/win32_platform.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

const std::string kTestKey = "SOFTWARE\\Latchsweep Tests";

TEST(RegistryTest, GetKeyValueReadsTextValuesThroughTheRealRegistry)
{
    Win32Registry registry;
    ScopedRegistryValue text(kTestKey, "PATH");
    ASSERT_TRUE(text.set(REG_SZ, std::string("C:\\Program Files\\Tools\\MSINFO32.EXE") + '\0'));
    std::string value = "previous";
    EXPECT_TRUE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", value));
    EXPECT_EQ(value, "C:\\Program Files\\Tools\\MSINFO32.EXE");

    // Stored without its terminating NUL, the text comes back whole.
    ASSERT_TRUE(text.set(REG_SZ, "C:\\Tools"));
    EXPECT_TRUE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", value));
    EXPECT_EQ(value, "C:\\Tools");

    // Another type counts as found and leaves the text as it was.
    ASSERT_TRUE(text.set(REG_EXPAND_SZ, std::string("%SystemRoot%\\msinfo32.exe") + '\0'));
    value = "kept";
    EXPECT_TRUE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", value));
    EXPECT_EQ(value, "kept");

    // More than the 1024-byte buffer holds is not found.
    ASSERT_TRUE(text.set(REG_SZ, std::string(1100, 'x') + '\0'));
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", value));
    EXPECT_EQ(value, "");

    value = "previous";
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "NoSuchValue", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey + "\\No Such Key", "PATH", value));
}

TEST(RegistryTest, PredefinedRootAndOpenedKeysTravelAs32BitValues)
{
    Win32Registry registry;
    ScopedRegistryValue value(kTestKey, "MSINFO");
    ASSERT_TRUE(value.set(REG_SZ, std::string("C:\\Tools") + '\0'));
    RegistryKey key = 0;
    ASSERT_EQ(registry.open(kHkeyLocalMachine, kTestKey, 0, kKeyRead, key), 0);
    EXPECT_NE(key, 0u);
    std::vector<std::uint8_t> data(kRegistryValueBuffer, 0);
    std::uint32_t type = 0;
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    EXPECT_EQ(registry.query(key, "MSINFO", type, data, size), 0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 9u);
    registry.close(key);
    // A key that failed to open is no key: closing it does nothing.
    RegistryKey none = 0;
    EXPECT_NE(registry.open(kHkeyLocalMachine, kTestKey + "\\Missing", 0, kKeyRead, none), 0);
    registry.close(none);
}

// What the launch probe wrote, once it has: its command line and the show state it was given.
std::optional<std::string> waitForProbe(const std::string& report)
{
    if (!pumpUntil([&] { return exists(report) && readFile(report).find('\n') != std::string::npos; }, 15s))
        return std::nullopt;
    pumpFor(100ms);
    return readFile(report);
}

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateDirectoryA(toolDir.c_str(), nullptr);
        const std::string built = besideTest("launch_probe.exe");
        ASSERT_TRUE(CopyFileA(built.c_str(), probe.c_str(), FALSE)) << built;
    }

    ScratchDirectory scratch;
    std::string toolDir = scratch / "Program Files";
    std::string probe = toolDir + "\\MSINFO32.EXE";
    std::string report = toolDir + "\\launched.txt";
};

TEST_F(LaunchTest, StartsTheProgramAtAPathWithSpacesInANormalWindowWithoutWaiting)
{
    // A program at the first word of the path must never be the one started.
    const std::string decoy = scratch / "Program.exe";
    ASSERT_TRUE(CopyFileA(besideTest("launch_probe.exe").c_str(), decoy.c_str(), FALSE));
    Win32Launcher launcher;
    ASSERT_TRUE(launcher.launch(probe));
    const auto seen = waitForProbe(report);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, "\"" + probe + "\"\n" + std::to_string(SW_SHOWNORMAL) + "\n");
    EXPECT_FALSE(exists(scratch / "launched.txt"));
}

TEST_F(LaunchTest, RefusesWhatCannotBeStarted)
{
    Win32Launcher launcher;
    EXPECT_FALSE(launcher.launch(toolDir + "\\missing.exe"));
    EXPECT_FALSE(launcher.launch(""));
    EXPECT_FALSE(launcher.launch(toolDir + "\" \"x"));
    EXPECT_FALSE(launcher.launch(toolDir)) << "a directory";
}

// StartSysInfo against the registry keys it reads, on the real ports.
class SysInfoTest : public LaunchTest {
protected:
    ScopedRegistryValue path{std::string(kMsinfoKey), std::string(kMsinfoValue)};
    ScopedRegistryValue location{std::string(kToolsLocationKey), std::string(kToolsLocationValue)};
    Win32Registry registry;
    Win32FileSystem files;
    Win32Launcher launcher;
    Win32MessageBoxes messages;
};

TEST_F(SysInfoTest, StartsTheProgramThatPathNames)
{
    ASSERT_TRUE(path.set(REG_SZ, probe + '\0'));
    BoxAnswerer boxes;
    StartSysInfo(registry, files, launcher, messages);
    EXPECT_TRUE(waitForProbe(report).has_value());
    EXPECT_TRUE(boxes.answered().empty());
}

TEST_F(SysInfoTest, FallsBackToTheToolsDirectoryHoldingMsinfo32)
{
    path.remove();
    ASSERT_TRUE(location.set(REG_SZ, toolDir + '\0'));
    BoxAnswerer boxes;
    StartSysInfo(registry, files, launcher, messages);
    const auto seen = waitForProbe(report);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->substr(0, seen->find('\n')), "\"" + toolDir + "\\MSINFO32.EXE\"");
    EXPECT_TRUE(boxes.answered().empty());
}

TEST_F(SysInfoTest, ReportsUnavailableWhenNothingIsFound)
{
    path.remove();
    ASSERT_TRUE(location.set(REG_SZ, (scratch / "empty dir") + '\0'));
    BoxAnswerer boxes;
    StartSysInfo(registry, files, launcher, messages);
    const auto answered = boxes.answered();
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(answered[0].title, "Latchsweep");
    EXPECT_FALSE(exists(report));
}

} // namespace
} // namespace latchsweep::win32
