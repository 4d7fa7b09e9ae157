#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace latchsweep {
namespace {

constexpr ToolkitOption kToolkit[] = {{"platform", true}, {"display", true}, {"reverse", false}};

struct Case {
    std::vector<std::string_view> arguments;
    bool run;
    int status;
    std::string_view textStart; // the first line printed
};

TEST(CommandLine, DecidesBetweenStartingPrintingAndFailing)
{
    const Case cases[] = {
        {{}, true, kExitOk, ""},
        {{"-platform", "xcb", "--display", ":3", "-reverse"}, true, kExitOk, ""},
        {{"--version"}, false, kExitOk, "Latchsweep 1.00\n"},
        {{"-version"}, false, kExitOk, "Latchsweep 1.00\n"},
        {{"--help"}, false, kExitOk, "Usage: latchsweep [OPTION]...\n"},
        {{"--help", "--bogus"}, false, kExitOk, "Usage:"},                     // the first decides
        {{"--bogus", "--help"}, false, kExitUsage, "latchsweep: unrecognized option '--bogus'\n"},
        {{"-h"}, false, kExitUsage, "latchsweep: unrecognized option '-h'\n"},
        {{"--"}, false, kExitUsage, "latchsweep: unrecognized option '--'\n"},
        {{"--help=1"}, false, kExitUsage, "latchsweep: unrecognized option '--help=1'\n"},
        {{"game.txt"}, false, kExitUsage, "latchsweep: unexpected argument 'game.txt'\n"},
        {{"-"}, false, kExitUsage, "latchsweep: unexpected argument '-'\n"},
        {{"-display"}, false, kExitUsage, "latchsweep: option '-display' requires an argument\n"},
        // A value is taken as it is, even when it looks like an option.
        {{"-display", "--help"}, true, kExitOk, ""},
        {{"-reverse", "x"}, false, kExitUsage, "latchsweep: unexpected argument 'x'\n"},
    };
    for (const Case& c : cases) {
        const CommandLine line = readCommandLine(c.arguments, kToolkit);
        const std::string shown = c.arguments.empty() ? "(none)" : std::string(c.arguments.front());
        EXPECT_EQ(line.run, c.run) << shown;
        EXPECT_EQ(line.exitStatus, c.status) << shown;
        EXPECT_TRUE(line.text.starts_with(c.textStart)) << shown << ": " << line.text;
        EXPECT_EQ(line.run, line.text.empty()) << shown;
        if (!line.text.empty())
            EXPECT_EQ(line.text.back(), '\n') << shown;
        if (c.status == kExitUsage)
            EXPECT_TRUE(line.text.ends_with("Try 'latchsweep --help' for more information.\n")) << shown;
    }
}

TEST(CommandLine, KeepsTheToolkitValuesTheLastOneWinning)
{
    const std::string_view arguments[] = {"-display", ":1", "--platform", "offscreen", "-display", ":2"};
    const CommandLine line = readCommandLine(arguments, kToolkit);
    ASSERT_TRUE(line.run);
    EXPECT_EQ(line.toolkitValues.at("display"), ":2");
    EXPECT_EQ(line.toolkitValues.at("platform"), "offscreen");
    EXPECT_EQ(line.toolkitValues.size(), 2u);
}

TEST(CommandLine, HelpNamesEveryExitStatusAndTheMissingDisplayIsOneLine)
{
    const std::string help = readCommandLine(std::vector<std::string_view>{"--help"}, kToolkit).text;
    for (const char* mention : {"--help", "--version", "0 if OK", "1 if no display", "2 for a wrong command line"})
        EXPECT_NE(help.find(mention), std::string::npos) << mention;
    EXPECT_EQ(noDisplayMessage(":7"), "latchsweep: cannot open display ':7'\n");
    EXPECT_EQ(noDisplayMessage(""), "latchsweep: no display to open: DISPLAY is not set\n");
}

} // namespace
} // namespace latchsweep
