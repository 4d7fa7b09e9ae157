#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "about/sysinfo.h"
#include "fake_platform.h"

namespace latchsweep {
namespace {

struct StoredValue {
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
};

StoredValue text(std::string_view value, bool withNul = true)
{
    StoredValue stored{kRegSz, {value.begin(), value.end()}};
    if (withNul)
        stored.data.push_back(0);
    return stored;
}

StoredValue dword(std::uint32_t value)
{
    StoredValue stored{kRegDword, std::vector<std::uint8_t>(4)};
    std::memcpy(stored.data.data(), &value, 4); // little-endian, as the registry stores it
    return stored;
}

struct OpenCall {
    RegistryKey root;
    std::string subKey;
    std::uint32_t options;
    std::uint32_t access;
};

// A registry of keys and values that answers as the system's does: a key that is not there
// fails to open, a value that is not there or needs more room than given fails to read.
class ScriptedRegistry : public Registry {
public:
    std::map<std::string, std::map<std::string, StoredValue>> keys;
    std::vector<OpenCall> opens;
    std::vector<RegistryKey> closed;
    std::map<RegistryKey, std::string> openKeys;

    std::int32_t open(RegistryKey root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                      RegistryKey& key) override
    {
        opens.push_back({root, subKey, options, access});
        if (root != kHkeyLocalMachine || !keys.contains(subKey))
            return 2; // ERROR_FILE_NOT_FOUND
        key = nextKey_++;
        openKeys[key] = subKey;
        return 0;
    }

    std::int32_t query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::vector<std::uint8_t>& data, std::uint32_t& size) override
    {
        const auto openKey = openKeys.find(key);
        if (openKey == openKeys.end())
            return 6; // ERROR_INVALID_HANDLE
        const auto& values = keys[openKey->second];
        const auto value = values.find(valueName);
        if (value == values.end())
            return 2;
        const StoredValue& stored = value->second;
        if (stored.data.size() > size || size > data.size()) {
            size = static_cast<std::uint32_t>(stored.data.size());
            return 234; // ERROR_MORE_DATA
        }
        std::copy(stored.data.begin(), stored.data.end(), data.begin());
        size = static_cast<std::uint32_t>(stored.data.size());
        type = stored.type;
        return 0;
    }

    void close(RegistryKey key) override
    {
        closed.push_back(key);
        openKeys.erase(key);
    }

private:
    RegistryKey nextKey_ = 0x100;
};

const std::string kKey = "SOFTWARE\\Test";

struct GetKeyValueTest : ::testing::Test {
    ScriptedRegistry registry;
    std::string value = "before";

    bool read(const StoredValue& stored)
    {
        registry.keys[kKey]["V"] = stored;
        return GetKeyValue(registry, kHkeyLocalMachine, kKey, "V", value);
    }
};

TEST_F(GetKeyValueTest, TextLosesOnlyOneTerminatingNul)
{
    EXPECT_TRUE(read(text("C:\\Program Files\\MSInfo\\msinfo32.exe")));
    EXPECT_EQ(value, "C:\\Program Files\\MSInfo\\msinfo32.exe");
    EXPECT_TRUE(read(text("stored without", false)));
    EXPECT_EQ(value, "stored without");
    EXPECT_TRUE(read(text(std::string_view("two\0", 4))));
    EXPECT_EQ(value, std::string("two\0", 4));
    EXPECT_TRUE(read(text("", false)));
    EXPECT_EQ(value, "");
}

TEST_F(GetKeyValueTest, TheBufferHoldsAtMost1024Bytes)
{
    EXPECT_TRUE(read(text(std::string(1022, 'a')))); // 1023 bytes
    EXPECT_EQ(value, std::string(1022, 'a'));
    EXPECT_TRUE(read(text(std::string(1023, 'b')))); // 1024 bytes
    EXPECT_EQ(value, std::string(1023, 'b'));
    EXPECT_TRUE(read(text(std::string(1024, 'c'), false))); // 1024 bytes, no NUL
    EXPECT_EQ(value, std::string(1024, 'c'));
    EXPECT_FALSE(read(text(std::string(1024, 'd')))); // 1025 bytes
    EXPECT_EQ(value, "");
}

TEST_F(GetKeyValueTest, DoubleWordsBecomeDecimalDigits)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "0"},
        {1, "1"},
        {0x00123456, "1193046"},
        {0x01000000, "16777216"},
        {0x12345678, "305419896"},
        {0x80000000, "2147483648"},
        {0xFFFFFFFF, "4294967295"},
    };
    for (const auto& [number, digits] : cases) {
        EXPECT_TRUE(read(dword(number)));
        EXPECT_EQ(value, digits) << number;
    }
}

TEST_F(GetKeyValueTest, OtherTypesKeepTheTextGivenButCountAsRead)
{
    for (const std::uint32_t type : {kRegExpandSz, kRegBinary, kRegMultiSz, 11u}) {
        value = "before";
        StoredValue stored = text("%SystemRoot%\\x.exe");
        stored.type = type;
        EXPECT_TRUE(read(stored));
        EXPECT_EQ(value, "before");
    }
}

TEST_F(GetKeyValueTest, AFailingOpenEmptiesTheTextAndClosesNothing)
{
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, "SOFTWARE\\Missing", "V", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(registry.closed.empty());
}

TEST_F(GetKeyValueTest, AFailingQueryEmptiesTheTextAndClosesTheKey)
{
    registry.keys[kKey] = {};
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kKey, "Missing", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(registry.closed.size(), 1u);
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST_F(GetKeyValueTest, OpensForReadingOnlyAndAlwaysClosesWhatItOpened)
{
    EXPECT_TRUE(read(text("x")));
    EXPECT_FALSE(read(text(std::string(2000, 'y'))));
    ASSERT_EQ(registry.opens.size(), 2u);
    for (const OpenCall& call : registry.opens) {
        EXPECT_EQ(call.root, 0x80000002u);
        EXPECT_EQ(call.subKey, kKey);
        EXPECT_EQ(call.options, 0u);
        EXPECT_EQ(call.access, 0x20019u); // KEY_READ: no write rights for a read
    }
    EXPECT_EQ(registry.closed.size(), 2u);
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST(DecodeRegistryValue, NeverReadsBeyondTheBuffer)
{
    const std::vector<std::uint8_t> buffer{'a', 'b', 'c'};
    EXPECT_EQ(decodeRegistryValue(kRegSz, buffer, 5000, "p"), "abc");
    EXPECT_EQ(decodeRegistryValue(kRegSz, buffer, 2, "p"), "ab");
    EXPECT_EQ(decodeRegistryValue(kRegSz, {}, 8, "p"), "");
}

TEST(DecodeRegistryValue, DoubleWordsThatAreNoNumberStayText)
{
    EXPECT_EQ(decodeRegistryValue(kRegDword, {}, 0, "p"), "&h");
    const std::vector<std::uint8_t> nine{1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(decodeRegistryValue(kRegDword, nine, 9, "p"), "&h090807060504030201");
    const std::vector<std::uint8_t> eight{1, 0, 0, 0, 0, 0, 0, 0x80};
    EXPECT_EQ(decodeRegistryValue(kRegDword, eight, 8, "p"), "9223372036854775809");
    const std::vector<std::uint8_t> padded{1, 0, 0, 0, 0, 0, 0, 0, 0, 0x7f};
    EXPECT_EQ(decodeRegistryValue(kRegDword, padded, 10, "p"), "&h7F000000000000000001");
}

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kFirstProgram = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";

struct StartSysInfoTest : ::testing::Test {
    ScriptedRegistry registry;
    testing::FakeFileSystem files;
    testing::FakeLauncher launcher;
    testing::FakeMessageBoxes messages;

    void run() { StartSysInfo(registry, files, launcher, messages); }
    bool reported() const
    {
        return messages.shown.size() == 1 && messages.shown[0].text == "System Information Is Unavailable At This Time" &&
               messages.shown[0].title == "Latchsweep";
    }
    bool secondLocationTried() const
    {
        return std::any_of(registry.opens.begin(), registry.opens.end(),
                           [](const OpenCall& call) { return call.subKey == kLocationKey; });
    }
};

TEST_F(StartSysInfoTest, AFirstLocationIsLaunchedWholeAndUntested)
{
    registry.keys[kPathKey]["PATH"] = text(kFirstProgram);
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Elsewhere");
    run();
    // Not in the file system, yet started as it is: the path is the program, spaces and all.
    EXPECT_EQ(launcher.launched, std::vector<std::string>{kFirstProgram});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(secondLocationTried());
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST_F(StartSysInfoTest, TheSecondLocationNeedsTheProgramInIt)
{
    registry.keys[kPathKey] = {}; // the key without its value
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Program Files\\Tools");
    files.files["C:\\Program Files\\Tools\\MSINFO32.EXE"] = "";
    run();
    EXPECT_EQ(launcher.launched, std::vector<std::string>{"C:\\Program Files\\Tools\\MSINFO32.EXE"});
    EXPECT_TRUE(messages.shown.empty());

    files.files.clear();
    launcher.launched.clear();
    run();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(reported());
}

TEST_F(StartSysInfoTest, ATrailingBackslashIsDoubledAndTestedAsItIs)
{
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Tools\\");
    files.files["C:\\Tools\\MSINFO32.EXE"] = "";
    run();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(reported());

    messages.shown.clear();
    files.files["C:\\Tools\\\\MSINFO32.EXE"] = "";
    run();
    EXPECT_EQ(launcher.launched, std::vector<std::string>{"C:\\Tools\\\\MSINFO32.EXE"});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartSysInfoTest, NoValueAnywhereIsReported)
{
    run();
    EXPECT_TRUE(reported());
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_EQ(registry.opens.size(), 2u);
}

TEST_F(StartSysInfoTest, AFailedLaunchIsReportedWithoutTryingTheSecondLocation)
{
    registry.keys[kPathKey]["PATH"] = text("C:\\Gone\\msinfo32.exe");
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Tools");
    files.files["C:\\Tools\\MSINFO32.EXE"] = "";
    launcher.succeed = false;
    run();
    EXPECT_EQ(launcher.launched, std::vector<std::string>{"C:\\Gone\\msinfo32.exe"});
    EXPECT_TRUE(reported());
    EXPECT_FALSE(secondLocationTried());
}

TEST_F(StartSysInfoTest, AFirstValueOfAnotherTypeIsFoundButNamesNothing)
{
    StoredValue expandable = text("%ProgramFiles%\\msinfo32.exe");
    expandable.type = kRegExpandSz;
    registry.keys[kPathKey]["PATH"] = expandable;
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Tools");
    files.files["C:\\Tools\\MSINFO32.EXE"] = "";
    run();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(reported());
    EXPECT_FALSE(secondLocationTried());
}

TEST_F(StartSysInfoTest, ATooLongFirstValueCountsAsNotFound)
{
    registry.keys[kPathKey]["PATH"] = text(std::string(1024, 'x'));
    registry.keys[kLocationKey]["MSINFO"] = text("C:\\Tools");
    files.files["C:\\Tools\\MSINFO32.EXE"] = "";
    run();
    EXPECT_EQ(launcher.launched, std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"});
}

TEST_F(StartSysInfoTest, ANameWithANulInsideIsNeverTestedNorStarted)
{
    // The system's calls would stop at the NUL: what was tested would not be what starts.
    registry.keys[kLocationKey]["MSINFO"] = text(std::string_view("C:\\Tools\0C:\\Evil", 16));
    files.files[std::string("C:\\Tools\0C:\\Evil\\MSINFO32.EXE", 29)] = "";
    run();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(reported());

    messages.shown.clear();
    registry.keys[kPathKey]["PATH"] = text(std::string_view("C:\\Tools\0x", 10));
    run();
    EXPECT_TRUE(launcher.launched.empty());
    EXPECT_TRUE(reported());
}

TEST_F(StartSysInfoTest, EachCallRepeatsTheWholeLookup)
{
    registry.keys[kPathKey]["PATH"] = text(kFirstProgram);
    run();
    registry.keys[kPathKey]["PATH"] = text("C:\\Moved\\msinfo32.exe");
    run();
    EXPECT_EQ(launcher.launched, (std::vector<std::string>{kFirstProgram, "C:\\Moved\\msinfo32.exe"}));
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST_F(StartSysInfoTest, AFailureOnTheWayIsReported)
{
    struct ThrowingLauncher : Launcher {
        bool launch(const std::string&) override { throw std::runtime_error("no such program"); }
    } throwing;
    registry.keys[kPathKey]["PATH"] = text(kFirstProgram);
    StartSysInfo(registry, files, throwing, messages);
    EXPECT_TRUE(reported());
}

} // namespace
} // namespace latchsweep
