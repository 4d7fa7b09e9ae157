#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/app/form1.h"
#include "tests/support/fake_views.h"
#include "core/settings/form3.h"
#include "core/sweep/delay.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;
using testing::FakeProgram;

struct Conversion {
    std::string text;
    std::optional<std::int32_t> value;
};

void expectConversions(const std::vector<Conversion>& table)
{
    for (const auto& [text, value] : table) {
        SCOPED_TRACE("text: \"" + text + "\"");
        EXPECT_EQ(parseDelay(text), value);
    }
}

TEST(ParseDelay, WholeNumbersFractionsAndExponentsRoundHalfToEven)
{
    // Whole numbers, a sign and the four white-space characters around them.
    expectConversions({{"10000", 10000}, {"0", 0}, {"-5", -5}, {"+250", 250}, {"\t\r\n 42\t", 42}, {"000123", 123},
                       {"-0", 0}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}});
    // Halves go to the even neighbour, anything past a half goes up; -2147483648.5 ties to the even bound.
    expectConversions({{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4}, {"0.5", 0}, {".5", 0}, {".6", 1}, {"7.", 7},
                       {"2.5000000000000000001", 3}, {"2.4999999999999999999", 2}, {"0.04", 0}, {"1234.5678", 1235},
                       {"2147483647.4", 2147483647}, {"-2147483648.5", INT32_MIN}});
    expectConversions({{"1e3", 1000}, {"1E3", 1000}, {"1.5e1", 15}, {"25e-1", 2}, {"35e-1", 4}, {"1e+2", 100},
                       {"0e99999", 0}, {"1e-99", 0}, {"123456789012e-3", 123456789},
                       {"0.0000000000000000000000000000001e31", 1}, {"2.147483647e9", 2147483647}});
    // Hexadecimal and octal are 32-bit patterns.
    expectConversions({{"&H10", 16}, {"&hff", 255}, {"&H7FFFFFFF", 2147483647}, {"&H80000000", INT32_MIN},
                       {"&HFFFFFFFF", -1}, {"&H00000000FF", 255}, {"&O17", 15}, {"&o777", 511},
                       {"&O37777777777", -1}, {" &H10 \r\n", 16}});
}

TEST(ParseDelay, RefusesAnythingThatIsNotOneNumberInRange)
{
    // "2147483647.5" rounds to the even 2147483648; "\xef\xbc\x95" is a full-width digit; only
    // space, tab, CR and LF count as white space.
    for (const std::string& text :
         {""s, " \r\n"s, "abc"s, "10 000"s, "1,000"s, "10000ms"s, "0x10"s, "1e99"s, "1e1000000000000000000000"s,
          "2147483648"s, "-2147483649"s, "2147483647.5"s, "99999999999999999999999"s, "&H100000000"s, "&O40000000000"s,
          "&H"s, "&HG"s, "&O8"s, "&17"s, "-&H10"s, "+"s, "-"s, "."s, "e3"s, "1e"s, "1e+"s, "1.2.3"s, "- 5"s, "++5"s,
          "inf"s, "nan"s, "5\0"s, "\xef\xbc\x95"s, "\v5"s})
        EXPECT_EQ(parseDelay(text), std::nullopt) << text;
}

TEST(ParseDelay, LongInputIsJudgedExactly)
{
    const std::string zeros(100'000, '0');
    EXPECT_EQ(parseDelay(zeros + "42"), 42);
    EXPECT_EQ(parseDelay("0." + zeros + "9"), 0);
    EXPECT_EQ(parseDelay("2.5" + zeros), 2);
    EXPECT_EQ(parseDelay("2.5" + zeros + "1"), 3);
    EXPECT_EQ(parseDelay(std::string(100'000, '7')), std::nullopt);
    EXPECT_EQ(parseDelay("1" + zeros + "e-100000"), 1);
}

// A fresh run on the virtual clock; Timer2's sweeps show as attempts to delete the lock file.
struct FreshRun {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;
    testing::VirtualClock& clock = program.platform.clock;

    FreshRun() { files.files["Directory.txt"] = "/games/mm2/MM2.LOCK\r\n"; }
    std::int32_t period() { return program.form1().Timer2.interval(); }
    std::size_t sweeps() { return files.removeAttempts.size(); }
    testing::FakeForm3View& form3View() { return *program.views.form3View; }
};

struct Refresher : ::testing::Test, FreshRun {};

TEST(RefresherFirstTick, AppliesTheSavedDelayOrRefusesItSilently)
{
    // The timer refuses -5 and &HFFFFFFFF (-1); the box holds the file without its final line
    // break, and the conversion skips the line breaks around the number.
    const std::vector<std::pair<std::optional<std::string>, std::int32_t>> cases = {{std::nullopt, 10000},
        {"250\r\n", 250}, {" 250 \r\n", 250}, {"3.5\r\n", 4}, {"abc\r\n", 6000}, {"-5\r\n", 6000},
        {"&HFFFFFFFF\r\n", 6000}, {"2147483648\r\n", 6000}, {"2000000000\r\n", 2000000000}, {"0\r\n", 0}, {"", 6000},
        {"\r\n777", 777}, {"\r\n3000\r\n", 3000}, {" \r\n3000", 3000}, {"1\r\n2\r\n", 6000}, {"\xc3\x28 12\r\n", 6000}, {std::string(1'000'000, '7'), 6000}};
    for (const auto& [saved, expected] : cases) {
        SCOPED_TRACE("AutoDelete.txt: " + saved.value_or("(missing)").substr(0, 20));
        FreshRun run;
        if (saved)
            run.files.files["AutoDelete.txt"] = *saved;
        run.program.form1().turnOn();
        run.clock.advance(1000);
        EXPECT_EQ(run.period(), expected);
        EXPECT_TRUE(run.program.platform.messages.shown.empty());
    }
}

TEST_F(Refresher, AnUnchangedPeriodKeepsTheSweepersCountdownAndAZeroOneStopsTheSweeps)
{
    files.files["AutoDelete.txt"] = "3000\r\n";
    program.form1().turnOn();
    clock.advance(3999); // period set to 3000 at 1 s; ticks at 2 s and 3 s assign it again
    EXPECT_EQ(sweeps(), 0u);
    clock.advance(1);
    EXPECT_EQ(sweeps(), 1u);
    clock.advance(6000);
    EXPECT_EQ(sweeps(), 3u);

    form3View().text = "0";
    clock.advance(60'000);
    EXPECT_EQ(sweeps(), 3u);
    EXPECT_TRUE(program.form1().Timer2.enabled());
    form3View().text = "500";
    clock.advance(1500); // the tick at 71 s sets 500
    EXPECT_EQ(sweeps(), 4u);
}

TEST_F(Refresher, UnsavedEditsApplyAndClosingRestoresTheSavedValue)
{
    files.files["AutoDelete.txt"] = "2000\r\n";
    program.form1().turnOn();
    clock.advance(1000);
    program.form1().onCommand(Command::OpenAutoDelete);
    for (const auto& [typed, expected] : {std::pair{"7", 7}, {"750", 750}, {"75x", 750}}) {
        form3View().text = typed; // "7" is the first digit on the way to a longer number
        clock.advance(1000);
        EXPECT_EQ(period(), expected) << typed;
    }
    program.app.form3().get()->onClose();
    clock.advance(1000);
    EXPECT_EQ(period(), 2000);
    EXPECT_EQ(form3View().text, "2000");
    EXPECT_FALSE(form3View().shown);
    EXPECT_EQ(files.files["AutoDelete.txt"], "2000\r\n");
}

TEST_F(Refresher, ASaveAppliesWhileTheConfirmationIsUpAndAfterTheWindowCloses)
{
    program.form1().turnOn();
    program.form1().onCommand(Command::OpenAutoDelete);
    form3View().text = "1500";
    program.platform.messages.whileShown = [&] { clock.advance(1000); };
    program.app.form3().get()->save();
    EXPECT_EQ(period(), 1500);
    EXPECT_FALSE(program.app.form3().exists());
    program.platform.messages.whileShown = nullptr;
    clock.advance(1000); // a fresh hidden window reads the saved file
    EXPECT_EQ(period(), 1500);
    EXPECT_EQ(form3View().text, "1500");
}

TEST_F(Refresher, OffLeavesTheWindowAloneAndOnAgainDoesNotReload)
{
    program.form1().turnOn();
    clock.advance(1000);
    program.form1().turnOff();
    const int created = program.views.created;
    form3View().text = "400";
    files.files["AutoDelete.txt"] = "9000\r\n";
    clock.advance(10'000);
    EXPECT_EQ(period(), 10000);
    program.form1().turnOn();
    clock.advance(1000);
    EXPECT_EQ(period(), 400);
    EXPECT_EQ(program.views.created, created);
}

} // namespace
} // namespace latchsweep
