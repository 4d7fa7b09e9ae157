#include <gtest/gtest.h>

#include <array>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/base/placement.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"

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

// Where each window first comes on screen, at 96 dpi and at twice that: the main window centred,
// frame and all; the help window's client area at its place, frame around it, kept on screen;
// the settings windows where the window system puts them.
TEST(FirstPlace, EachWindowComesWhereItsLayoutSays)
{
    const ScreenAreas desktop{{0, 0, 1280, 1024}, {0, 0, 1280, 984}};
    const ScreenPoint titleBar{3, 26};
    EXPECT_EQ(firstPlace(form1Layout(), {0, 0, 318, 111}, titleBar, desktop, 15), (ScreenPoint{481, 456}));
    EXPECT_EQ(firstPlace(form1Layout(), {0, 0, 318, 111}, titleBar, {{1280, 0, 1024, 768}, {}}, 15),
              (ScreenPoint{1633, 328}));
    const ScreenRect help{0, 0, 530, 211};
    EXPECT_EQ(firstPlace(frmHelpLayout(), help, titleBar, desktop, 15), (ScreenPoint{184 - 3, 250 - 26}));
    EXPECT_EQ(firstPlace(frmHelpLayout(), help, {}, desktop, 15), (ScreenPoint{184, 250}));
    EXPECT_EQ(firstPlace(frmHelpLayout(), {0, 0, 1054, 396}, titleBar, desktop, 7.5), (ScreenPoint{226, 474}));
    EXPECT_EQ(firstPlace(frmAboutLayout(), {0, 0, 392, 321}, {}, desktop, 15), (ScreenPoint{156, 129}));
    EXPECT_EQ(firstPlace(form2Layout(), help, titleBar, desktop, 15), std::nullopt);
    EXPECT_EQ(firstPlace(form3Layout(), help, titleBar, desktop, 15), std::nullopt);
}

} // namespace
} // namespace latchsweep
