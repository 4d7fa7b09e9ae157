#pragma once

namespace latchsweep {

// Digits as the program's text formats spell them (the delay's numbers, RTF's escapes): ASCII
// only, whatever the locale.
constexpr bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit of either case; -1 for any other character.
constexpr int hexDigitValue(char c)
{
    if (isDecimalDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace latchsweep
