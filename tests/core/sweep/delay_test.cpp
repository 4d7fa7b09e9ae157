#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/sweep/delay.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;

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
    expectConversions({{"10000", 10000},
                       {"0", 0},
                       {"-5", -5},
                       {"+250", 250},
                       {"\t\r\n 42\t", 42},
                       {"000123", 123},
                       {"-0", 0},
                       {"2147483647", 2147483647},
                       {"-2147483648", INT32_MIN}});
    // Halves go to the even neighbour, anything past a half goes up; -2147483648.5 ties to the even bound.
    expectConversions({{"2.5", 2},
                       {"3.5", 4},
                       {"-2.5", -2},
                       {"-3.5", -4},
                       {"0.5", 0},
                       {".5", 0},
                       {".6", 1},
                       {"7.", 7},
                       {"2.5000000000000000001", 3},
                       {"2.4999999999999999999", 2},
                       {"0.04", 0},
                       {"1234.5678", 1235},
                       {"2147483647.4", 2147483647},
                       {"-2147483648.5", INT32_MIN}});
    expectConversions({{"1e3", 1000},
                       {"1E3", 1000},
                       {"1.5e1", 15},
                       {"25e-1", 2},
                       {"35e-1", 4},
                       {"1e+2", 100},
                       {"0e99999", 0},
                       {"1e-99", 0},
                       {"123456789012e-3", 123456789},
                       {"0.0000000000000000000000000000001e31", 1},
                       {"2.147483647e9", 2147483647}});
    // Hexadecimal and octal are 32-bit patterns.
    expectConversions({{"&H10", 16},
                       {"&hff", 255},
                       {"&H7FFFFFFF", 2147483647},
                       {"&H80000000", INT32_MIN},
                       {"&HFFFFFFFF", -1},
                       {"&H00000000FF", 255},
                       {"&O17", 15},
                       {"&o777", 511},
                       {"&O37777777777", -1},
                       {" &H10 \r\n", 16}});
}

TEST(ParseDelay, RefusesAnythingThatIsNotOneNumberInRange)
{
    // "2147483647.5" rounds to the even 2147483648; "\xef\xbc\x95" is a full-width digit; only
    // space, tab, CR and LF count as white space.
    for (const std::string& text : {""s,
                                    " \r\n"s,
                                    "abc"s,
                                    "10 000"s,
                                    "1,000"s,
                                    "10000ms"s,
                                    "0x10"s,
                                    "1e99"s,
                                    "1e1000000000000000000000"s,
                                    "2147483648"s,
                                    "-2147483649"s,
                                    "2147483647.5"s,
                                    "99999999999999999999999"s,
                                    "&H100000000"s,
                                    "&O40000000000"s,
                                    "&H"s,
                                    "&HG"s,
                                    "&O8"s,
                                    "&17"s,
                                    "-&H10"s,
                                    "+"s,
                                    "-"s,
                                    "."s,
                                    "e3"s,
                                    "1e"s,
                                    "1e+"s,
                                    "1.2.3"s,
                                    "- 5"s,
                                    "++5"s,
                                    "inf"s,
                                    "nan"s,
                                    "5\0"s,
                                    "\xef\xbc\x95"s,
                                    "\v5"s})
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

} // namespace
} // namespace latchsweep
