#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/about/sysinfo.h"
#include "core/base/product.h"
#include "tests/support/fake_platform.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;

struct StoredValue {
    std::uint32_t type = kRegSz;
    std::vector<std::uint8_t> data;
};

StoredValue text(std::string_view value, bool withNul = true, std::uint32_t type = kRegSz)
{
    StoredValue stored{type, {value.begin(), value.end()}};
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

// Answers as the system's registry does: a key that is not there fails to open, a value that is
// not there or needs more room than given fails to read.
class ScriptedRegistry : public Registry {
public:
    std::map<std::string, std::map<std::string, StoredValue>> keys;
    std::vector<OpenCall> opens;
    int closed = 0;
    std::map<RegistryKey, std::string> openKeys;

    std::int32_t open(RegistryKey root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                      RegistryKey& key) override
    {
        opens.push_back({root, subKey, options, access});
        if (root != kHkeyLocalMachine || !keys.contains(subKey))
            return 2; // ERROR_FILE_NOT_FOUND
        key = static_cast<RegistryKey>(0x100 + opens.size());
        openKeys[key] = subKey;
        return 0;
    }

    std::int32_t query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::vector<std::uint8_t>& data, std::uint32_t& size) override
    {
        if (!openKeys.contains(key))
            return 6; // ERROR_INVALID_HANDLE
        const auto& values = keys[openKeys[key]];
        const auto value = values.find(valueName);
        if (value == values.end())
            return 2;
        const std::vector<std::uint8_t>& stored = value->second.data;
        const bool fits = stored.size() <= size && size <= data.size();
        if (fits)
            std::copy(stored.begin(), stored.end(), data.begin());
        size = static_cast<std::uint32_t>(stored.size());
        type = value->second.type;
        return fits ? 0 : 234; // ERROR_MORE_DATA
    }

    void close(RegistryKey key) override
    {
        ++closed;
        openKeys.erase(key);
    }
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

TEST_F(GetKeyValueTest, TextLosesOneNulDoubleWordsBecomeDigitsOtherTypesKeepTheTextAndAtMost1024BytesFit)
{
    const std::string x = "%SystemRoot%\\x.exe";
    const struct {
        StoredValue stored;
        bool read;
        std::string value;
    } cases[] = {{text("C:\\Program Files\\msinfo32.exe"), true, "C:\\Program Files\\msinfo32.exe"},
                 {text("stored without", false), true, "stored without"},
                 {text("two\0"s), true, "two\0"s},
                 {text("", false), true, ""},
                 {text(std::string(1023, 'b')), true, std::string(1023, 'b')},
                 {text(std::string(1024, 'c'), false), true, std::string(1024, 'c')},
                 {text(std::string(1024, 'd')), false, ""}, // 1025 bytes
                 {dword(0), true, "0"},
                 {dword(0x00123456), true, "1193046"},
                 {dword(0x01000000), true, "16777216"},
                 {dword(0x80000000), true, "2147483648"},
                 {dword(0xFFFFFFFF), true, "4294967295"},
                 {text(x, true, kRegExpandSz), true, "before"},
                 {text(x, true, kRegBinary), true, "before"},
                 {text(x, true, kRegMultiSz), true, "before"},
                 {text(x, true, 11), true, "before"}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        value = "before";
        EXPECT_EQ(read(cases[i].stored), cases[i].read) << i;
        EXPECT_EQ(value, cases[i].value) << i;
    }
}

TEST_F(GetKeyValueTest, OpensForReadingOnlyClosesWhatItOpenedAndAFailureEmptiesTheText)
{
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, "SOFTWARE\\Missing", "V", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(registry.closed, 0);
    value = "before";
    registry.keys[kKey] = {};
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kKey, "Missing", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(read(text("x")));
    ASSERT_EQ(registry.opens.size(), 3u);
    for (const OpenCall& call : registry.opens) {
        EXPECT_EQ(call.root, 0x80000002u);
        EXPECT_EQ(call.options, 0u);
        EXPECT_EQ(call.access, 0x20019u); // KEY_READ: no write rights for a read
    }
    EXPECT_EQ(registry.closed, 2);
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST(DecodeRegistryValue, NeverReadsBeyondTheBufferAndDoubleWordsThatAreNoNumberStayText)
{
    const std::vector<std::uint8_t> abc{'a', 'b', 'c'}, nine{1, 2, 3, 4, 5, 6, 7, 8, 9},
        eight{1, 0, 0, 0, 0, 0, 0, 0x80}, padded{1, 0, 0, 0, 0, 0, 0, 0, 0, 0x7f};
    EXPECT_EQ(decodeRegistryValue(kRegSz, abc, 5000, "p"), "abc");
    EXPECT_EQ(decodeRegistryValue(kRegSz, abc, 2, "p"), "ab");
    EXPECT_EQ(decodeRegistryValue(kRegSz, {}, 8, "p"), "");
    EXPECT_EQ(decodeRegistryValue(kRegDword, {}, 0, "p"), "&h");
    EXPECT_EQ(decodeRegistryValue(kRegDword, nine, 9, "p"), "&h090807060504030201");
    EXPECT_EQ(decodeRegistryValue(kRegDword, eight, 8, "p"), "9223372036854775809");
    EXPECT_EQ(decodeRegistryValue(kRegDword, padded, 10, "p"), "&h7F000000000000000001");
}

const std::string kPathKey{kMsinfoKey};
const std::string kLocationKey{kToolsLocationKey};
const std::string kPathValue{kMsinfoValue};
const std::string kLocationValue{kToolsLocationValue};
constexpr const char* kFirstProgram = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";

struct SysInfo {
    ScriptedRegistry registry;
    testing::FakeFileSystem files;
    testing::FakeLauncher launcher;
    testing::FakeMessageBoxes messages;

    void run() { StartSysInfo(registry, files, &launcher, messages); }
    bool reported() const
    {
        return messages.shown.size() == 1 && messages.shown[0].text == kSysInfoUnavailable &&
               messages.shown[0].title == kAppTitle;
    }
};

// The first location (PATH) is launched as it is, unseen; the second (a directory) must hold the
// program. A name with a NUL would be cut by the system's calls: what was tested would not start.
TEST(StartSysInfo, TheRoadsToTheProgram)
{
    const std::optional<StoredValue> none;
    const std::string tools = "C:\\Tools\\MSINFO32.EXE";
    const struct {
        const char* name;
        std::optional<StoredValue> first, second;
        std::string file; // the one program file on disk
        bool launchWorks;
        std::string launched; // empty: nothing started
        bool secondTried;
    } roads[] = {{"first, spaces and all", text(kFirstProgram), text("C:\\Elsewhere"), "", true, kFirstProgram, false},
                 {"second with the program", none, text("C:\\Tools"), tools, true, tools, true},
                 {"second without it", none, text("C:\\Tools"), "", true, "", true},
                 {"a trailing backslash is doubled", none, text("C:\\Tools\\"), tools, true, "", true},
                 {"and tested so", none, text("C:\\Tools\\"), "C:\\Tools\\\\MSINFO32.EXE", true,
                  "C:\\Tools\\\\MSINFO32.EXE", true},
                 {"no value anywhere", none, none, "", true, "", true},
                 {"a failed launch", text("C:\\Gone\\msinfo32.exe"), text("C:\\Tools"), tools, false,
                  "C:\\Gone\\msinfo32.exe", false},
                 {"a first value of another type", text("%P%\\msinfo32.exe", true, kRegExpandSz), text("C:\\Tools"),
                  tools, true, "", false},
                 {"an empty first value", text(""), text("C:\\Tools"), tools, true, "", false},
                 {"a too long first value", text(std::string(1024, 'x')), text("C:\\Tools"), tools, true, tools, true},
                 {"a NUL in the second", none, text("C:\\Tools\0C:\\Evil"s), "C:\\Tools\0C:\\Evil\\MSINFO32.EXE"s, true,
                  "", true},
                 {"a NUL in the first", text("C:\\Tools\0x"s), text("C:\\Tools"), tools, true, "", false}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        SysInfo sys;
        if (road.first)
            sys.registry.keys[kPathKey][kPathValue] = *road.first;
        if (road.second)
            sys.registry.keys[kLocationKey][kLocationValue] = *road.second;
        if (!road.file.empty())
            sys.files.files[road.file] = "";
        sys.launcher.succeed = road.launchWorks;
        sys.run();
        EXPECT_EQ(sys.launcher.launched,
                  road.launched.empty() ? std::vector<std::string>{} : std::vector{road.launched});
        EXPECT_EQ(sys.reported(), road.launched.empty() || !road.launchWorks);
        EXPECT_EQ(sys.registry.opens.back().subKey == kLocationKey, road.secondTried);
        EXPECT_TRUE(sys.registry.openKeys.empty());
    }
}

TEST(StartSysInfo, EachCallRepeatsTheWholeLookupAndAFailureOnTheWayIsReported)
{
    SysInfo sys;
    sys.registry.keys[kPathKey][kPathValue] = text(kFirstProgram);
    sys.run();
    sys.registry.keys[kPathKey][kPathValue] = text("C:\\Moved\\msinfo32.exe");
    sys.run();
    EXPECT_EQ(sys.launcher.launched, (std::vector<std::string>{kFirstProgram, "C:\\Moved\\msinfo32.exe"}));

    struct ThrowingLauncher : Launcher {
        bool launch(const std::string&) override { throw std::runtime_error("no such program"); }
    } throwing;
    StartSysInfo(sys.registry, sys.files, &throwing, sys.messages);
    EXPECT_TRUE(sys.reported());
}

} // namespace
} // namespace latchsweep
