#include "core/sweep/delay.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "core/base/digits.h"

namespace latchsweep {
namespace {

constexpr std::string_view kBlank = " \t\r\n";
constexpr std::uint64_t kMaxPattern = 0xFFFF'FFFFu;
constexpr std::uint64_t kMaxPositive = 2'147'483'647u;
constexpr std::uint64_t kMaxNegative = 2'147'483'648u;
// Ten decimal digits already exceed the 32-bit range; an exponent beyond this bound decides
// nothing more, and capping it keeps every sum below in range.
constexpr std::int64_t kExponentCap = 1'000'000'000;

// "&H..." or "&O..." digits as a 32-bit pattern. Leading zeros do not count against the width.
std::optional<std::int32_t> parsePattern(std::string_view digits, int radix)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || digit >= radix)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
        if (value > kMaxPattern)
            return std::nullopt;
    }
    // Two's complement: the conversion is modular since C++20.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::string_view takeDigits(std::string_view text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && isDecimalDigit(text[at]))
        ++at;
    return text.substr(start, at - start);
}

// Sign, digits, fraction and exponent, rounded half to even. The value is the significant digits
// times a power of ten; rounding and the range test look at the digits themselves, so that a
// number of any length or exponent is judged exactly.
std::optional<std::int32_t> parseDecimal(std::string_view text)
{
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::string_view whole = takeDigits(text, at);
    std::string_view fraction;
    if (at < text.size() && text[at] == '.') {
        ++at;
        fraction = takeDigits(text, at);
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;

    std::int64_t exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool negativeExponent = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            negativeExponent = text[at] == '-';
            ++at;
        }
        const std::string_view digits = takeDigits(text, at);
        if (digits.empty())
            return std::nullopt;
        for (const char c : digits)
            exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (at != text.size())
        return std::nullopt;

    std::string significant;
    significant.reserve(whole.size() + fraction.size());
    significant.append(whole).append(fraction);
    const std::size_t firstNonZero = significant.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return 0;
    const std::string_view digits = std::string_view(significant).substr(firstNonZero);
    const auto count = static_cast<std::int64_t>(digits.size());

    // The number is 0.digits times ten to the power of `integerDigits`.
    const std::int64_t integerDigits = count + exponent - static_cast<std::int64_t>(fraction.size());
    if (integerDigits > 10)
        return std::nullopt;

    std::uint64_t value = 0;
    for (std::int64_t i = 0; i < integerDigits; ++i)
        value = value * 10 + (i < count ? static_cast<std::uint64_t>(digits[static_cast<std::size_t>(i)] - '0') : 0);

    if (integerDigits >= 0 && integerDigits < count) {
        const auto cut = static_cast<std::size_t>(integerDigits);
        const char firstDropped = digits[cut];
        const bool restNonZero = digits.find_first_not_of('0', cut + 1) != std::string_view::npos;
        if (firstDropped > '5' || (firstDropped == '5' && (restNonZero || value % 2 == 1)))
            ++value;
    }
    // integerDigits < 0: below 0.1, which rounds to 0.

    if (value > (negative ? kMaxNegative : kMaxPositive))
        return std::nullopt;
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
}

} // namespace

std::optional<std::int32_t> parseDelay(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlank);
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(kBlank) - first + 1);

    if (text.size() >= 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h')
            return parsePattern(text.substr(2), 16);
        if (text[1] == 'O' || text[1] == 'o')
            return parsePattern(text.substr(2), 8);
        return std::nullopt;
    }
    return parseDecimal(text);
}

} // namespace latchsweep
