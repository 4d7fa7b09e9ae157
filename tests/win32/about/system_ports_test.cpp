// The registry and launch ports on the real system: values the test writes into the registry
// (the Wine prefix of the build when run there), and a program started from a path with spaces.

#include <gtest/gtest.h>

#include "core/about/sysinfo.h"
#include "tests/win32/support/win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

const std::string kTestKey = "SOFTWARE\\Latchsweep Tests";

TEST(RegistryTest, GetKeyValueReadsTextValuesThroughTheRealRegistry)
{
    Win32Registry registry;
    ScopedRegistryValue stored(kTestKey, "PATH");
    const std::string tools = "C:\\Program Files\\Tools\\MSINFO32.EXE";
    const struct {
        DWORD type;
        std::string bytes;
        bool found;
        const char* text; // what the text holds after the call, which starts at "kept"
    } cases[] = {{REG_SZ, tools + '\0', true, tools.c_str()},
                 {REG_SZ, "C:\\Tools", true, "C:\\Tools"}, // stored without its NUL, the text comes back whole
                 {REG_EXPAND_SZ, "%SystemRoot%\\msinfo32.exe" + std::string(1, '\0'), true, "kept"},
                 {REG_SZ, std::string(1100, 'x') + '\0', false, ""}}; // more than the 1024-byte buffer holds
    for (const auto& value : cases) {
        ASSERT_TRUE(stored.set(value.type, value.bytes));
        std::string text = "kept";
        EXPECT_EQ(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", text), value.found) << value.text;
        EXPECT_EQ(text, value.text);
    }
    std::string text = "kept";
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "NoSuchValue", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kTestKey + "\\No Such Key", "PATH", text));
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
    RegistryKey none = 0; // a key that failed to open is no key: closing it does nothing
    EXPECT_NE(registry.open(kHkeyLocalMachine, kTestKey + "\\Missing", 0, kKeyRead, none), 0);
    registry.close(none);
}

TEST(LaunchTest, StartsTheWholePathInANormalWindowWithoutWaitingAndRefusesWhatCannotStart)
{
    ScratchDirectory scratch;
    const std::string toolDir = scratch / "Program Files";
    const std::string probe = toolDir + "\\MSINFO32.EXE";
    CreateDirectoryA(toolDir.c_str(), nullptr);
    // A program at the first word of the path must never be the one started.
    for (const std::string& copy : {probe, scratch / "Program.exe"})
        ASSERT_TRUE(CopyFileA(besideTest("launch_probe.exe").c_str(), copy.c_str(), FALSE)) << copy;
    Win32Launcher launcher;
    ASSERT_TRUE(launcher.launch(probe));
    // The probe writes its command line and the show state it was given beside itself.
    const std::string report = toolDir + "\\launched.txt";
    EXPECT_TRUE(pumpUntil([&] { return readFile(report).find('\n') != readFile(report).rfind('\n'); }, 15s));
    EXPECT_EQ(readFile(report), "\"" + probe + "\"\n" + std::to_string(SW_SHOWNORMAL) + "\n");
    EXPECT_FALSE(exists(scratch / "launched.txt"));
    for (const std::string& path : {toolDir + "\\missing.exe", std::string(), toolDir + "\" \"x", toolDir})
        EXPECT_FALSE(launcher.launch(path)) << path;
}

} // namespace
} // namespace latchsweep::win32
