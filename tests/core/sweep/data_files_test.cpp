#include <gtest/gtest.h>

#include <string>

#include "core/sweep/data_files.h"
#include "core/sweep/sweeper.h"
#include "tests/support/fake_platform.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;

TEST(FirstLine, EndsAtAnyLineBreakKeepsTheRestVerbatimAndIsBounded)
{
    const std::string longest(kMaxFirstLine, 'a');
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"C:\\Games\\MM2\\MM2.LOCK\r\n", "C:\\Games\\MM2\\MM2.LOCK"},
        {"/games/MM2.LOCK\nsecond\n", "/games/MM2.LOCK"},
        {"/games/MM2.LOCK\rsecond", "/games/MM2.LOCK"},
        {"no break at all", "no break at all"},
        {"  spaced path  \r\n", "  spaced path  "},
        {"\r\nsecond", ""},
        {"\xff\xfe bytes\r\n", "\xff\xfe bytes"},
        {"", std::nullopt},
        {longest + "\r\n", longest},
        {longest, longest},
        {longest + "a", std::nullopt},
        {longest + "a\r\n", std::nullopt}};
    for (const auto& [bytes, line] : cases)
        EXPECT_EQ(firstLine(bytes), line) << bytes.substr(0, 40);
}

struct Sweep : ::testing::Test {
    testing::FakeFileSystem files;
};

TEST_F(Sweep, DeletesTheFileNamedOnTheFirstLineReadAfreshEachTime)
{
    files.files = {{"Directory.txt", "a\r\nb\r\n"}, {"a", ""}, {"b", ""}};
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_TRUE(files.files.contains("b"));
    files.files["Directory.txt"] = "b\n";
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_EQ(files.removed, (std::vector<std::string>{"a", "b"}));
}

TEST_F(Sweep, BadListsDeleteNothingAndAMissingLockFileIsQuietlyIgnored)
{
    // Empty, no name, a line past the bound, a NUL inside (the platform would read a shorter path).
    for (const std::string& content : {""s, "\r\n"s, std::string(kMaxFirstLine + 10, 'x'), "lo\0ck\r\n"s}) {
        files.files = {{"Directory.txt", content}, {"lo", ""}};
        EXPECT_FALSE(sweepOnce(files));
    }
    files.files.erase("Directory.txt");
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_TRUE(files.removeAttempts.empty());

    files.files["Directory.txt"] = "absent\r\n";
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_EQ(files.removeAttempts, (std::vector<std::string>{"absent"}));
}

} // namespace
} // namespace latchsweep
