#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fake_views.h"
#include "settings/form3.h"
#include "sweep/delay.h"

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

TEST(ParseDelay, WholeNumbersWithSignAndSurroundingWhiteSpace)
{
    expectConversions({
        {"10000", 10000},
        {"0", 0},
        {"-5", -5},
        {"+250", 250},
        {" 250 \r\n", 250},
        {"\t\r\n 42\t", 42},
        {"000123", 123},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
    });
}

TEST(ParseDelay, FractionsRoundHalfToEven)
{
    expectConversions({
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {"2.5000000000000000001", 3},
        {"2.4999999999999999999", 2},
        {"2.51", 3},
        {".5", 0},
        {".6", 1},
        {"7.", 7},
        {"0.04", 0},
        {"1234.5678", 1235},
        {"2147483647.4", 2147483647},
        {"-2147483648.5", INT32_MIN}, // the tie goes to the even -2147483648
    });
}

TEST(ParseDelay, Exponents)
{
    expectConversions({
        {"1e3", 1000},
        {"1E3", 1000},
        {"1.5e1", 15},
        {"25e-1", 2},
        {"35e-1", 4},
        {"1e+2", 100},
        {"0e99999", 0},
        {"1e-99", 0},
        {"123456789012e-3", 123456789},
        {"0.0000000000000000000000000000001e31", 1},
        {"2.147483647e9", 2147483647},
    });
}

TEST(ParseDelay, HexadecimalAndOctalArePatternsOfThirtyTwoBits)
{
    expectConversions({
        {"&H10", 16},
        {"&hff", 255},
        {"&H7FFFFFFF", 2147483647},
        {"&H80000000", INT32_MIN},
        {"&HFFFFFFFF", -1},
        {"&H00000000FF", 255},
        {"&O17", 15},
        {"&o777", 511},
        {"&O37777777777", -1},
        {" &H10 \r\n", 16},
    });
}

TEST(ParseDelay, RefusesAnythingThatIsNotOneNumberInRange)
{
    expectConversions({
        {"", std::nullopt},
        {" \r\n", std::nullopt},
        {"abc", std::nullopt},
        {"10 000", std::nullopt},
        {"1,000", std::nullopt},
        {"10000ms", std::nullopt},
        {"0x10", std::nullopt},
        {"1e99", std::nullopt},
        {"1e1000000000000000000000", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"2147483647.5", std::nullopt}, // rounds to the even 2147483648
        {"99999999999999999999999", std::nullopt},
        {"&H100000000", std::nullopt},
        {"&O40000000000", std::nullopt},
        {"&H", std::nullopt},
        {"&HG", std::nullopt},
        {"&O8", std::nullopt},
        {"&17", std::nullopt},
        {"-&H10", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"e3", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"1.2.3", std::nullopt},
        {"- 5", std::nullopt},
        {"++5", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"5\0"s, std::nullopt},
        {"\xef\xbc\x95", std::nullopt}, // a full-width digit
        {"\v5", std::nullopt},          // only space, tab, CR and LF count as white space
    });
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

// A fresh run on the virtual clock. Timer2's sweeps are seen as attempts to delete the lock file
// named in Directory.txt.
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

TEST_F(Refresher, FirstTickOfAFreshRunAppliesTheDefaultAndTheFirstSweepComesAtElevenSeconds)
{
    program.form1().turnOn();
    clock.advance(999);
    EXPECT_FALSE(program.app.form3().exists());
    EXPECT_EQ(period(), 6000);
    clock.advance(1);
    ASSERT_TRUE(program.app.form3().exists());
    EXPECT_FALSE(form3View().shown);
    EXPECT_EQ(period(), 10000);
    clock.advance(9999);
    EXPECT_EQ(sweeps(), 0u);
    clock.advance(1);
    EXPECT_EQ(sweeps(), 1u);
    EXPECT_TRUE(program.platform.messages.shown.empty());
}

TEST(RefresherFirstTick, AppliesTheSavedDelayOrRefusesItSilently)
{
    const std::vector<std::pair<std::optional<std::string>, std::int32_t>> cases = {
        {std::nullopt, 10000},
        {"250\r\n", 250},
        {" 250 \r\n", 250},
        {"250", 250},
        {"3.5\r\n", 4},
        {"abc\r\n", 6000},
        {"-5\r\n", 6000}, // the timer refuses a negative period
        {"1e99\r\n", 6000},
        {"&HFFFFFFFF\r\n", 6000}, // -1
        {"2147483648\r\n", 6000},
        {"2000000000\r\n", 2000000000},
        {"0\r\n", 0},
        {"", 6000},
        {"\r\n777", 6000}, // only the first line reaches the box
        {"\x00\x01\xff\xfe"s, 6000},
        {"\xc3\x28 12\r\n", 6000}, // not valid UTF-8
        {std::string(1'000'000, '7'), 6000},
    };
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

TEST_F(Refresher, AZeroDelayStopsTheSweepsUntilANonZeroOneArrives)
{
    files.files["AutoDelete.txt"] = "0\r\n";
    program.form1().turnOn();
    clock.advance(60'000);
    EXPECT_EQ(sweeps(), 0u);
    EXPECT_TRUE(program.form1().Timer2.enabled());
    form3View().text = "500";
    clock.advance(1000); // the tick sets 500 at 61 s
    clock.advance(500);
    EXPECT_EQ(sweeps(), 1u);
}

TEST_F(Refresher, AnUnchangedPeriodKeepsTheSweepersCountdown)
{
    files.files["AutoDelete.txt"] = "3000\r\n";
    program.form1().turnOn();
    clock.advance(3999); // period set to 3000 at 1 s; ticks at 2 s and 3 s assign it again
    EXPECT_EQ(sweeps(), 0u);
    clock.advance(1);
    EXPECT_EQ(sweeps(), 1u);
    clock.advance(6000);
    EXPECT_EQ(sweeps(), 3u);
}

TEST_F(Refresher, UnsavedEditsApplyAndClosingRestoresTheSavedValue)
{
    files.files["AutoDelete.txt"] = "2000\r\n";
    program.form1().turnOn();
    clock.advance(1000);
    program.form1().onCommand(Command::OpenAutoDelete);
    form3View().text = "7"; // the first digit on the way to a longer number
    clock.advance(1000);
    EXPECT_EQ(period(), 7);
    form3View().text = "750";
    clock.advance(1000);
    EXPECT_EQ(period(), 750);
    form3View().text = "75x";
    clock.advance(1000);
    EXPECT_EQ(period(), 750);

    program.app.form3().get()->onClose();
    EXPECT_FALSE(program.app.form3().exists());
    clock.advance(1000);
    EXPECT_EQ(period(), 2000);
    EXPECT_EQ(form3View().text, "2000");
    EXPECT_FALSE(form3View().shown);
    EXPECT_EQ(files.files["AutoDelete.txt"], "2000\r\n");
}

TEST_F(Refresher, OpeningTheWindowShowsTheRefreshersInstanceWithoutReloading)
{
    files.files["AutoDelete.txt"] = "2000\r\n";
    program.form1().turnOn();
    clock.advance(1000);
    Form3* hidden = program.app.form3().get();
    form3View().text = "1234";
    files.files["AutoDelete.txt"] = "9999\r\n";
    program.form1().onCommand(Command::OpenAutoDelete);
    EXPECT_EQ(program.app.form3().get(), hidden);
    EXPECT_TRUE(form3View().shown);
    EXPECT_EQ(form3View().text, "1234");
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

TEST_F(Refresher, ASaveThenCloseKeepsTheSavedValue)
{
    program.form1().turnOn();
    program.form1().onCommand(Command::OpenAutoDelete);
    form3View().text = "1500";
    program.app.form3().get()->save();
    EXPECT_FALSE(program.app.form3().exists());
    clock.advance(1000);
    EXPECT_EQ(period(), 1500);
}

} // namespace
} // namespace latchsweep
