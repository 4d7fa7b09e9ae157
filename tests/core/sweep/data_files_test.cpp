#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "sweep/data_files.h"
#include "sweep/sweeper.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;

TEST(FirstLine, EndsAtEveryKindOfLineBreak)
{
    EXPECT_EQ(firstLine("C:\\Games\\MM2\\MM2.LOCK\r\n"), "C:\\Games\\MM2\\MM2.LOCK");
    EXPECT_EQ(firstLine("/games/MM2.LOCK\nsecond\n"), "/games/MM2.LOCK");
    EXPECT_EQ(firstLine("/games/MM2.LOCK\rsecond"), "/games/MM2.LOCK");
    EXPECT_EQ(firstLine("no break at all"), "no break at all");
}

TEST(FirstLine, KeepsEverythingElseVerbatim)
{
    EXPECT_EQ(firstLine("  spaced path  \r\n"), "  spaced path  ");
    EXPECT_EQ(firstLine("\r\nsecond"), "");
    EXPECT_EQ(firstLine("\xff\xfe bytes\r\n"), "\xff\xfe bytes");
}

TEST(FirstLine, EmptyContentHasNoLine)
{
    EXPECT_EQ(firstLine(""), std::nullopt);
}

TEST(FirstLine, BoundedAtThirtyTwoKibibytes)
{
    const std::string exact(kMaxFirstLine, 'a');
    EXPECT_EQ(firstLine(exact + "\r\n"), exact);
    EXPECT_EQ(firstLine(exact), exact);
    EXPECT_EQ(firstLine(exact + "a"), std::nullopt);
    EXPECT_EQ(firstLine(exact + "a\r\n"), std::nullopt);
}

struct Sweep : ::testing::Test {
    testing::FakeFileSystem files;
};

TEST_F(Sweep, DeletesTheFileNamedOnTheFirstLineOnly)
{
    files.files["Directory.txt"] = "lock\r\nother\r\n";
    files.files["lock"] = "";
    files.files["other"] = "";
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_FALSE(files.files.contains("lock"));
    EXPECT_TRUE(files.files.contains("other"));
}

TEST_F(Sweep, ReadsTheListAfreshEachTime)
{
    files.files["Directory.txt"] = "a\r\n";
    files.files["a"] = "";
    files.files["b"] = "";
    sweepOnce(files);
    files.files["Directory.txt"] = "b\n";
    sweepOnce(files);
    EXPECT_EQ(files.removed, (std::vector<std::string>{"a", "b"}));
}

TEST_F(Sweep, BadListsDeleteNothing)
{
    for (const std::string& content : {""s, "\r\n"s, std::string(kMaxFirstLine + 10, 'x'), "lo\0ck\r\n"s}) {
        files.files["Directory.txt"] = content;
        files.files["lo"] = "";
        EXPECT_FALSE(sweepOnce(files));
    }
    files.files.erase("Directory.txt");
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_TRUE(files.removed.empty());
    EXPECT_TRUE(files.removeAttempts.empty());
}

TEST_F(Sweep, AMissingLockFileIsQuietlyIgnored)
{
    files.files["Directory.txt"] = "absent\r\n";
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_EQ(files.removeAttempts, (std::vector<std::string>{"absent"}));
}

} // namespace
} // namespace latchsweep
