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

// The files' text on a Windows-1252 system: a line that code page spells is written as the
// original program wrote it, any other behind the byte-order mark, and both read back.
TEST(DataFileText, AnsiWhereTheCodePageSpellsTheLineUtf8BehindAMarkWhereNotNeverAGuess)
{
    const TextDecoding ansi = testing::windows1252System();
    const std::string cafe = "C:\\Jeux\\Caf\u00e9 \u20ac\\MM2.LOCK";
    const std::string games = "C:\\\u0418\u0433\u0440\u044b\\MM2.LOCK";
    const std::pair<std::string, std::string> written[] = {
        {"C:\\Games\\MM2.LOCK", "C:\\Games\\MM2.LOCK"},
        {cafe, "C:\\Jeux\\Caf\xE9 \x80\\MM2.LOCK"},
        {games, std::string(kUtf8Mark) + games},
        {"\u0101", std::string(kUtf8Mark) + "\u0101"}, // no best fit: not written as "a"
    };
    for (const auto& [text, bytes] : written) {
        EXPECT_EQ(encodeText(text, ansi), bytes) << text;
        EXPECT_EQ(decodeText(bytes, ansi), text) << text;
    }
    // Not UTF-8: neither written nor read as some other name.
    EXPECT_EQ(encodeText("C:\\Caf\xE9", ansi), std::nullopt);
    EXPECT_EQ(decodeText(std::string(kUtf8Mark) + "C:\\Caf\xE9", ansi), std::nullopt);
    // A code page the system cannot convert reads ASCII alone, and writes the rest as UTF-8.
    EXPECT_EQ(decodeText("C:\\Caf\xE9", TextDecoding{}), std::nullopt);
    EXPECT_EQ(encodeText(cafe, TextDecoding{}), std::string(kUtf8Mark) + cafe);
}

TEST(DataFileText, WhereTextIsAsItIsTheBytesAreTheTextBothWays)
{
    for (const std::string bytes : {"/spiele/caf\xE9/MM2.LOCK", "/\u0438\u0433\u0440\u044b/MM2.LOCK", ""}) {
        EXPECT_EQ(encodeText(bytes, kTextAsItIs), bytes);
        EXPECT_EQ(decodeText(bytes, kTextAsItIs), bytes);
    }
}

TEST_F(Sweep, TheLineIsReadByTheFilesRuleAndAnUnreadableOneDeletesNothing)
{
    files.decoding = testing::windows1252System();
    const std::string cafe = "C:\\Jeux\\Caf\u00e9\\MM2.LOCK";
    const std::string games = "C:\\\u0418\u0433\u0440\u044b\\MM2.LOCK";
    files.files = {{cafe, ""}, {games, ""}};
    files.files["Directory.txt"] = "C:\\Jeux\\Caf\xE9\\MM2.LOCK\r\n"; // as the original program wrote it
    EXPECT_TRUE(sweepOnce(files));
    files.files["Directory.txt"] = std::string(kUtf8Mark) + games + "\r\nC:\\second\xE9\r\n";
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_EQ(files.removed, (std::vector<std::string>{cafe, games}));

    // The mark does not count against the bound; a malformed line names nothing.
    const std::string longest(kMaxFirstLine, 'a');
    files.files[longest] = "";
    files.files["Directory.txt"] = std::string(kUtf8Mark) + longest;
    EXPECT_TRUE(sweepOnce(files));
    files.files["Directory.txt"] = std::string(kUtf8Mark) + "C:\\Caf\xE9\\MM2.LOCK\r\n";
    files.removeAttempts.clear();
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_TRUE(files.removeAttempts.empty());
}

} // namespace
} // namespace latchsweep
