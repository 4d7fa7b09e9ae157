#include <gtest/gtest.h>

#include <vector>

#include "core/app/command_line.h"

namespace latchsweep {
namespace {

TEST(CommandLine, StartsPrintsOrFailsAsTheFirstDecisiveArgumentSays)
{
    constexpr ToolkitOption toolkit[] = {{"platform", true}, {"display", true}, {"reverse", false}};
    const std::string tryHelp = "Try 'latchsweep --help' for more information.\n";
    const struct {
        std::vector<std::string_view> arguments;
        int status; // -1: the program starts
        std::string text;
    } cases[] = {
        {{}, -1, ""},
        {{"-platform", "xcb", "--display", "--help", "-reverse"}, -1, ""}, // a value is never an option
        {{"--version", "--bogus"}, kExitOk, "Latchsweep 1.00\n"},
        {{"--bogus", "--help"}, kExitUsage, "latchsweep: unrecognized option '--bogus'\n" + tryHelp},
        {{"--help=1"}, kExitUsage, "latchsweep: unrecognized option '--help=1'\n" + tryHelp},
        {{"-reverse", "game.txt"}, kExitUsage, "latchsweep: unexpected argument 'game.txt'\n" + tryHelp},
        {{"-display"}, kExitUsage, "latchsweep: option '-display' requires an argument\n" + tryHelp},
    };
    for (const auto& c : cases) {
        const CommandLine line = readCommandLine(c.arguments, toolkit, {"Latchsweep", "1.00"});
        const std::string shown = c.arguments.empty() ? "(none)" : std::string(c.arguments.front());
        EXPECT_EQ(line.run, c.status < 0) << shown;
        EXPECT_EQ(line.exitStatus, std::max(c.status, 0)) << shown;
        EXPECT_EQ(line.text, c.text) << shown;
    }
    const std::string_view values[] = {"-display", ":1", "-platform", "offscreen", "-display", ":2"};
    EXPECT_EQ(readCommandLine(values, toolkit, {}).toolkitValues,
              (std::map<std::string, std::string, std::less<>>{{"display", ":2"}, {"platform", "offscreen"}}));
    EXPECT_EQ(noDisplayMessage(":7"), "latchsweep: cannot open display ':7'\n");
    EXPECT_EQ(noDisplayMessage(""), "latchsweep: no display to open: DISPLAY is not set\n");
}

// Qt's order on Linux, measured: a Wayland display named in the session comes first even beside an
// X display, X is tried after it and without one named; a platform given is all that is tried.
TEST(DisplayOrder, FollowsTheToolkitsOrderAndFindsTheWaylandSocket)
{
    using enum DisplayKind;
    const struct {
        DisplaySettings settings;
        std::vector<DisplayKind> order;
    } cases[] = {
        {{"", "", ""}, {X11}},
        {{"", "wayland-1", ""}, {Wayland, X11}},
        {{"", "", "wayland"}, {Wayland, X11}},
        {{"", "", "x11"}, {X11}},
        {{"xcb", "wayland-1", "wayland"}, {X11}},
        {{"wayland-egl;xcb:nograb", "", ""}, {Wayland, X11}},
        {{"offscreen", "wayland-1", ""}, {Other}},
        {{"vnc;wayland", "", ""}, {Other, Wayland}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(displayOrder(c.settings), c.order) << c.settings.platform << "|" << c.settings.waylandDisplay;

    EXPECT_EQ(waylandSocketPath("wayland-1", "/run/user/7"), "/run/user/7/wayland-1");
    EXPECT_EQ(waylandSocketPath("", "/run/user/7"), "/run/user/7/wayland-0");
    EXPECT_EQ(waylandSocketPath("/srv/compositor/wayland-2", ""), "/srv/compositor/wayland-2");
    EXPECT_EQ(waylandSocketPath("wayland-1", ""), "");
}

} // namespace
} // namespace latchsweep
