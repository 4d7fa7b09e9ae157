// The names of a save's temporaries, for what the ports' shared suite cannot reach (it clears
// leftovers of ended writers and keeps those of running ones): names that only look like ours.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/replacement_names.h"

namespace latchsweep {
namespace {

TEST(ReplacementNamesTest, NamesThatOnlyLookLikeOursAreNoLeftovers)
{
    const std::string ours = ".x.latchsweep-";
    const std::string tooLarge = std::to_string(std::uint64_t{kLargestProcessId} + 1);        // ten digits
    EXPECT_EQ(temporaryName("AutoDelete.txt", 4242, 7), ".AutoDelete.txt.latchsweep-4242-7"); // as on disks
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
         })
        EXPECT_EQ(leftoverWriter("x", entry), std::nullopt) << entry;
    EXPECT_EQ(leftoverWriter("x", temporaryName("x", kLargestProcessId, 3)), kLargestProcessId);
    // Another file's leftover, even one whose name begins with this one's.
    EXPECT_EQ(leftoverWriter("x", temporaryName("x.latchsweep-1", 12, 3)), std::nullopt);
    EXPECT_EQ(leftoverWriter("x.txt", temporaryName("x", 12, 3)), std::nullopt);
}

} // namespace
} // namespace latchsweep
