#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace latchsweep {

// The scan delay's text as a 32-bit signed number of milliseconds, or nothing when the text is
// not one number in range. The text is read the way Basic converts text to a Long, without any
// locale:
// - white space (space, tab, CR, LF) around the number is ignored;
// - a decimal number: optional sign, digits with an optional fraction and an optional exponent
//   ("1.5e3"); a fraction rounds to the nearest whole number, halves to the even one (2.5 is 2,
//   3.5 is 4);
// - "&H" with up to 8 hexadecimal digits or "&O" with up to 11 octal digits (either case), read
//   as a 32-bit two's-complement pattern: "&HFFFFFFFF" is -1;
// - anything else, an empty text, or a value outside the 32-bit signed range gives nothing.
// The result is exact for any length of input: no floating point, no overflow.
std::optional<std::int32_t> parseDelay(std::string_view text);

} // namespace latchsweep
