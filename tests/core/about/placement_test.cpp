#include <gtest/gtest.h>

#include "about/placement.h"

namespace latchsweep {
namespace {

TEST(KeepInside, AWindowStaysWhereItIsUnlessItWouldLeaveTheAvailableArea)
{
    // A 1280 x 1024 screen with a 40-pixel task bar at the bottom, and a second one to its right.
    constexpr ScreenRect kScreen{0, 0, 1280, 984};
    constexpr ScreenRect kRightScreen{1280, 0, 1024, 768};
    struct Case {
        const char* what;
        ScreenRect frame;
        ScreenRect available;
        ScreenRect placed;
    };
    const Case cases[] = {
        {"inside", {184, 250, 524, 185}, kScreen, {184, 250, 524, 185}},
        {"touching the far edges", {756, 799, 524, 185}, kScreen, {756, 799, 524, 185}},
        {"the help window at scale 2", {368, 500, 1048, 370}, kScreen, {232, 500, 1048, 370}},
        {"past the task bar", {100, 900, 400, 200}, kScreen, {100, 784, 400, 200}},
        {"past both far edges", {1200, 1000, 400, 200}, kScreen, {880, 784, 400, 200}},
        {"above and left of the area", {-30, -5, 400, 200}, kScreen, {0, 0, 400, 200}},
        {"wider and taller than the area", {300, 200, 1500, 1100}, kScreen, {0, 0, 1500, 1100}},
        {"on a screen whose area does not start at 0", {1300, 700, 400, 200}, kRightScreen, {1300, 568, 400, 200}},
        {"left of that screen", {1000, 10, 400, 200}, kRightScreen, {1280, 10, 400, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keepInside(c.frame, c.available), c.placed) << c.what;
}

} // namespace
} // namespace latchsweep
