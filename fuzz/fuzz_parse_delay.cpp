// The scan delay's conversion from the delay box's text to a 32-bit number of milliseconds.
//
// Besides surviving any text, the conversion is held to properties that need no second
// implementation: blanks around the text change nothing, and a value's own decimal digits read
// back as that value. Plain decimal numbers of up to 30 digits are also checked against exact
// integer arithmetic, rounding half to even.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/sweep/delay.h"

namespace {

using Wide = __int128;

// The exact value of [+-]digits[.digits] rounded half to even, when it is such a number of at
// most 30 digits; nothing to say otherwise.
std::optional<std::optional<std::int32_t>> expected(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::optional<std::int32_t>{};
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    Wide numerator = 0;
    Wide denominator = 1;
    int digits = 0;
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 30)
            return std::nullopt; // not a plain decimal number this oracle judges
        numerator = numerator * 10 + (c - '0');
        if (point)
            denominator *= 10;
    }
    if (digits == 0)
        return std::optional<std::int32_t>{};
    Wide whole = numerator / denominator;
    const Wide twice = 2 * (numerator % denominator);
    if (twice > denominator || (twice == denominator && whole % 2 == 1))
        ++whole;
    if (negative)
        whole = -whole;
    if (whole > std::numeric_limits<std::int32_t>::max() || whole < std::numeric_limits<std::int32_t>::min())
        return std::optional<std::int32_t>{};
    return std::optional<std::int32_t>{static_cast<std::int32_t>(whole)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = latchsweep::parseDelay(text);

    if (latchsweep::parseDelay(" \t" + text + "\r\n") != value)
        std::abort();
    if (value && latchsweep::parseDelay(std::to_string(*value)) != value)
        std::abort();
    if (const auto oracle = expected(text); oracle && *oracle != value)
        std::abort();
    return 0;
}
