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
    // A path outside the ANSI code page comes back whole, as UTF-8; one UTF-8 cannot hold (an
    // unpaired surrogate) is not read as some other path.
    const std::pair<std::wstring, const char*> wide[] = {
        {L"C:\\\u0418\u0433\u0440\u044b\\MSINFO32.EXE", "C:\\\u0418\u0433\u0440\u044b\\MSINFO32.EXE"},
        {std::wstring(L"C:\\x") + wchar_t(0xD800), nullptr}};
    for (const auto& [value, expected] : wide) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, fromUtf8(kTestKey).c_str(), L"PATH", REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        std::string read = "kept";
        EXPECT_EQ(GetKeyValue(registry, kHkeyLocalMachine, kTestKey, "PATH", read), expected != nullptr);
        EXPECT_EQ(read, expected ? expected : "");
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

// The probe writes its command line and the show state it was given beside itself: that report,
// once the probe at `program` has written it.
std::string probeReport(const std::string& program)
{
    const std::string report = program.substr(0, program.find_last_of('\\') + 1) + "launched.txt";
    pumpUntil([&] { return readFile(report).find('\n') != readFile(report).rfind('\n'); }, 15s);
    return readFile(report);
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
    EXPECT_EQ(probeReport(probe), "\"" + probe + "\"\n" + std::to_string(SW_SHOWNORMAL) + "\n");
    EXPECT_FALSE(exists(scratch / "launched.txt"));
    for (const std::string& path : {toolDir + "\\missing.exe", std::string(), toolDir + "\" \"x", toolDir})
        EXPECT_FALSE(launcher.launch(path)) << path;

    // From a folder outside the ANSI code page, by its own name.
    const std::string games = toUtf8(scratch.path().wstring()) + "\\\u0418\u0433\u0440\u044b";
    const std::string program = games + "\\MSINFO32.EXE";
    ASSERT_TRUE(CreateDirectoryW(fromUtf8(games).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(fromUtf8(besideTest("launch_probe.exe")).c_str(), fromUtf8(program).c_str(), FALSE));
    ASSERT_TRUE(launcher.launch(program));
    EXPECT_EQ(probeReport(program), "\"" + program + "\"\n" + std::to_string(SW_SHOWNORMAL) + "\n");
}

} // namespace
} // namespace latchsweep::win32
