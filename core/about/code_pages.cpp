#include "core/about/code_pages.h"

#include <algorithm>
#include <array>
#include <utility>

namespace latchsweep {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five unassigned bytes keep their C1 code points, as the
// system's own conversion does.
constexpr std::array<char32_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t fromWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80u] : char32_t{byte};
}

} // namespace

unsigned codePageOfCharset(int charset)
{
    // The charsets a font table names, with the code page of each; others (1, the default, and
    // 2, symbol fonts) leave the document's code page in force.
    static constexpr std::array<std::pair<int, unsigned>, 18> kCharsets{{
        {0, 1252},
        {77, 10000},
        {128, 932},
        {129, 949},
        {130, 1361},
        {134, 936},
        {136, 950},
        {161, 1253},
        {162, 1254},
        {163, 1258},
        {177, 1255},
        {178, 1256},
        {186, 1257},
        {204, 1251},
        {222, 874},
        {238, 1250},
        {254, 437},
        {255, 850},
    }};
    const auto found = std::ranges::find(kCharsets, charset, &std::pair<int, unsigned>::first);
    return found != kCharsets.end() ? found->second : 0;
}

std::string decodeCodePage(std::string_view bytes, unsigned codePage, const TextDecoding& decoding)
{
    if (codePage == kCodePageUtf8 && isUtf8(bytes))
        return std::string(bytes);
    if (codePage != kCodePageWindows1252 && codePage != kCodePageUtf8 && decoding.convert) {
        if (auto text = decoding.convert(codePage, bytes))
            return std::move(*text);
    }
    return windows1252ToUtf8(bytes);
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        appendUtf8(text, fromWindows1252(static_cast<unsigned char>(c)));
    return text;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace latchsweep
