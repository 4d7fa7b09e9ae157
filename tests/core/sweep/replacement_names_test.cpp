// The names of a save's temporaries, for what the ports' shared suite cannot reach (it clears
// leftovers of ended writers and keeps those of running ones): names of earlier releases still
// on users' disks, and names that only look like ours.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/replacement_names.h"

namespace latchsweep {
namespace {

constexpr std::array kCurrent{kTemporaryNaming};
constexpr std::array kOnWindows{kTemporaryNaming, kReleasedWindowsNaming};

TEST(ReplacementNamesTest, NamesThatReleasedVersionsLeftBehindAreStillRecognised)
{
    // Spelled out: these are the names already on disks, whatever the code makes of them now.
    EXPECT_EQ(temporaryName("AutoDelete.txt", 4242, 7), ".AutoDelete.txt.latchsweep-4242-7");
    EXPECT_EQ(leftoverWriter("AutoDelete.txt", ".AutoDelete.txt.latchsweep-4242-7", kCurrent), 4242u);
    EXPECT_EQ(leftoverWriter("Directory.txt", "Directory.txt.tmp1308-0", kOnWindows), 1308u);
    // Only where such a name was ever written: elsewhere it may be the user's own file.
    EXPECT_EQ(leftoverWriter("Directory.txt", "Directory.txt.tmp1308-0", kCurrent), std::nullopt);
}

TEST(ReplacementNamesTest, NamesThatOnlyLookLikeOursAreNoLeftovers)
{
    const std::string ours = ".x.latchsweep-";
    const std::string tooLarge = std::to_string(std::uint64_t{kLargestProcessId} + 1); // ten digits
    for (const std::string& entry : std::vector<std::string>{
             ours + "12a-3",
             ours + "12-3a",
             ours + "-3",
             ours + "12",
             ours + "012-3",
             ours + "+12-3",
             ours + "0-3",
             ours + tooLarge + "-0",
             ".x.latchsweep12-3",
             ".xy.latchsweep-12-3",
             "x.tmp12",
             "x.tmp12-3-4",
         })
        EXPECT_EQ(leftoverWriter("x", entry, kOnWindows), std::nullopt) << entry;
    EXPECT_EQ(leftoverWriter("x", temporaryName("x", kLargestProcessId, 3), kOnWindows), kLargestProcessId);
    // Another file's leftover, even one whose name begins with this one's.
    EXPECT_EQ(leftoverWriter("x", temporaryName("x.latchsweep-1", 12, 3), kOnWindows), std::nullopt);
    EXPECT_EQ(leftoverWriter("x.txt", temporaryName("x", 12, 3), kOnWindows), std::nullopt);
}

} // namespace
} // namespace latchsweep
