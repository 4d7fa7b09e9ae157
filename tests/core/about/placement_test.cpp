#include <gtest/gtest.h>

#include <array>

#include "core/about/placement.h"

namespace latchsweep {
namespace {

TEST(KeepInside, AWindowStaysWhereItIsUnlessItWouldLeaveTheAvailableArea)
{
    // A 1280 x 1024 screen with a 40-pixel task bar at the bottom; a second screen to its right.
    constexpr ScreenRect kScreen{0, 0, 1280, 984};
    constexpr ScreenRect kRight{1280, 0, 1024, 768};
    const std::array<ScreenRect, 3> cases[] = {
        // frame, available area, placed
        {{{184, 250, 524, 185}, kScreen, {184, 250, 524, 185}}},   // inside
        {{{756, 799, 524, 185}, kScreen, {756, 799, 524, 185}}},   // touching the far edges
        {{{368, 500, 1048, 370}, kScreen, {232, 500, 1048, 370}}}, // the help window at scale 2
        {{{1200, 900, 400, 200}, kScreen, {880, 784, 400, 200}}},  // past the task bar and the edge
        {{{-30, -5, 400, 200}, kScreen, {0, 0, 400, 200}}},        // above and left
        {{{300, 200, 1500, 1100}, kScreen, {0, 0, 1500, 1100}}},   // larger than the area
        {{{1000, 700, 400, 200}, kRight, {1280, 568, 400, 200}}},  // an area not at the origin
    };
    for (const auto& [frame, available, placed] : cases)
        EXPECT_EQ(keepInside(frame, available), placed) << frame.left << "," << frame.top;
}

} // namespace
} // namespace latchsweep
