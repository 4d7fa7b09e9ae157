#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/about/frm_help.h"
#include "core/about/rtf.h"

namespace latchsweep {
namespace {

std::string textOf(const std::vector<RtfRun>& runs)
{
    std::string text;
    for (const RtfRun& run : runs)
        text += run.text;
    return text;
}

// Every run as "[text|flags size family r.g.b]", for an exact comparison of text and formats.
std::string dump(const std::vector<RtfRun>& runs)
{
    std::string out;
    for (const auto& [text, f] : runs) {
        out += "[" + text + "|" + (f.bold ? "b" : "") + (f.italic ? "i" : "") + (f.underline ? "u" : "") +
               (f.strike ? "s" : "") + std::to_string(f.halfPoints) + (f.family.empty() ? "" : " " + f.family);
        if (f.colour)
            out += " " + std::to_string(f.colour->red) + "." + std::to_string(f.colour->green) + "." +
                   std::to_string(f.colour->blue);
        out += "]";
    }
    return out;
}

TEST(RtfDetection, OnlyADocumentThatOpensWithTheRtfGroupIsRich)
{
    EXPECT_TRUE(isRtf("{\\rtf1\\ansi hello}"));
    EXPECT_TRUE(isRtf("{\\rtf"));
    for (const char* plain : {" {\\rtf1 hello}", "{\\rt", "Latchsweep help\r\n{\\rtf1}", ""})
        EXPECT_FALSE(isRtf(plain)) << plain;
}

TEST(RtfText, DocumentsReadAsText)
{
    const std::pair<const char*, const char*> cases[] = {
        // paragraphs, tabs and escaped markup; source line breaks are not text, escaped ones are
        {"{\\rtf1 A\\par\r\nB\\tab c\\line d\\par \\{ \\} \\\\}", "A\nB\tc\nd\n{ } \\"},
        {"{\\rtf1 one\r\ntwo\ntwo\\\nthree}", "onetwotwo\nthree"},
        // the delimiting space belongs to the control word, a parameter ends it too
        {"{\\rtf1 \\b bold\\b0  two spaces}", "bold two spaces"},
        {"{\\rtf1 a\\b1x\\b0-y}", "ax-y"},
        // hex escapes are Windows-1252; named characters
        {"{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94 \\'A9}", "caf\u00e9 \u20ac \u201cq\u201d \u00a9"},
        {"{\\rtf1 a\\emdash b\\endash c\\bullet d\\lquote e\\rquote\\ldblquote f\\rdblquote g\\~h}",
         "a\u2014b\u2013c\u2022d\u2018e\u2019\u201cf\u201dg\u00a0h"},
        // \uN skips as many stand-ins as \ucN says (1 by default); an escape or a word counts as one;
        // negative values are the upper half of 16 bits; surrogates join, lone ones are replaced
        {"{\\rtf1 \\u955?\\u8364?}", "\u03bb\u20ac"},
        {"{\\rtf1 \\u233\\'e9x}", "\u00e9x"},
        {"{\\rtf1\\uc2 \\u20320\\'c4\\'e3 ok}", "\u4f60 ok"},
        {"{\\rtf1\\uc0 \\u955 x}", "\u03bbx"},
        {"{\\rtf1 \\u-3913?}", "\uf0b7"},
        {"{\\rtf1 \\u-10179?\\u-8694?}", "\U0001F60A"},
        {"{\\rtf1 \\u-10179?x}", "\ufffdx"},
        {"{\\rtf1 \\u-8694?}", "\ufffd"},
        // \uc is scoped to its group, and a group boundary ends the skip
        {"{\\rtf1 {\\uc3 \\u955abc}\\u955?d}", "\u03bb\u03bbd"},
        {"{\\rtf1\\uc4 \\u955?}x{y}", "\u03bb"},
        {"{\\rtf1\\uc4 \\u955?{y}z}", "\u03bbyz"},
        // hidden text, destinations without text, binary data of any length
        {"{\\rtf1 shown {\\v hidden}shown\\v  gone\\v0  again}", "shown shown again"},
        {"{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\*\\generator W;}{\\*\\unknown {n} t}"
         "{\\*\\listtable{\\list{\\leveltext\\'01\\u-3913 ?;}}}{\\header head}{\\pict\\wmetafile8 0102ff}"
         "\\pard\\sa200\\fi-360\\li720 body{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}",
         "bodylink"},
        {"{\\rtf1 {\\pict\\bin4 }}{x}after}", "after"},
        {"{\\rtf1 a\\bin3 {{{b}", "ab"},
        {"{\\rtf1 a\\bin999999 bc}", "a"},
        // raw UTF-8 when the whole document is UTF-8, single-byte text otherwise
        {"{\\rtf1 Stra\xc3\x9f"
         "e \xe2\x82\xac}",
         "Stra\u00dfe \u20ac"},
        {"{\\rtf1 caf\xe9 \xc3}", "caf\u00e9 \u00c3"},
        // nothing after the outermost group; unbalanced braces; truncated escapes are dropped
        {"{\\rtf1 inside}outside{more}", "inside"},
        {"{\\rtf1 open {\\b never closed", "open never closed"},
        {"}}}{\\rtf1 after strays}", "after strays"},
        {"{\\rtf1 {\\b bold}} trailing", "bold"},
        {"{\\rtf1 a\\'", "a"},
        {"{\\rtf1 a\\'4", "a"},
        {"{\\rtf1 a\\'4g b}", "ag b"},
        {"{\\rtf1 a\\", "a"},
        {"{\\rtf1 a\\u", "a"},
        {"{\\rtf1 a\\u-", "a"},
        {"{\\rtf1 a\\u955", "a\u03bb"},
        {"{\\rtf1\\colortbl\\red300\\green", ""}};
    for (const auto& [document, text] : cases)
        EXPECT_EQ(textOf(parseRtf(document)), text) << document;
}

TEST(RtfFormatting, FormatsFollowTheGroupsComeFromTheFontAndColourTablesAndAdjacentTextOfOneFormatIsOneRun)
{
    EXPECT_EQ(dump(parseRtf("{\\rtf1 plain {\\b bold {\\i both}} {\\ul under\\ulnone  not} "
                            "\\strike gone\\strike0  back}")),
              "[plain |24][bold |b24][both|bi24][ |24][under|u24][ not |24][gone|s24][ back|24]");
    EXPECT_EQ(dump(parseRtf("{\\rtf1 a{b}\\b0 c\\i\\i0 d{\\b e}{\\b f}}")), "[abcd|24][ef|b24]");
    EXPECT_EQ(dump(parseRtf("{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                            "{\\f1\\fswiss{\\*\\panose 020b0604020202020204}Arial;}{\\f2\\fcharset2 Symbol;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue160;}"
                            "default \\fs40\\b\\cf1\\f0 big \\cf2 blue \\cf9 beyond \\plain reset "
                            "{\\pntext\\f2\\'B7\\tab}}")),
              "[default |24 Arial][big |b40 Times New Roman 255.0.0][blue |b40 Times New Roman 0.0.160]"
              "[beyond |b40 Times New Roman][reset |24 Arial][\u00b7\t|24 Symbol]");
    // A font table without subgroups, as a Mac word processor writes it.
    EXPECT_EQ(dump(parseRtf("{\\rtf1{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fmodern Courier;}\\f0 sans \\f1 mono}")),
              "[sans |24 Helvetica][mono|24 Courier]");
}

TEST(RtfMalformed, HugeParametersAreClamped)
{
    // The size stays within what a text box can draw, a code point out of range is dropped, the skip
    // count is bounded (16), and a negative colour or font names none.
    EXPECT_EQ(dump(parseRtf("{\\rtf1\\fs99999999999999999999 big \\u99999999999? \\uc99999999999 \\u955"
                            "abcdefghijklmnopqrstuvwxyz \\cf-5\\f-7 x}")),
              "[big  \u03bbqrstuvwxyz x|3276]");
}

TEST(RtfMalformed, DeepNestingNeitherCrashesNorLosesTextAndNoPrefixCrashes)
{
    std::string deep = "{\\rtf1 start";
    for (int i = 0; i < 200'000; ++i)
        deep += "{\\b ";
    EXPECT_EQ(dump(parseRtf(deep + "core" + std::string(200'000, '}') + " end")), "[start|24][core|b24][ end|24]");

    std::string open = "{\\rtf1 "; // unclosed deep nesting to the end of the input
    for (int i = 0; i < 100'000; ++i)
        open += "{\\*\\x ";
    EXPECT_TRUE(parseRtf(open).empty());

    const std::string dense =
        "{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1;}\\u-10179?\\'e9\\bin2 {}\\uc9 \\u1"
        "{\\*\\x}\\b\\fs\\cf1 z\\\\\\{}";
    for (std::size_t length = 0; length <= dense.size(); ++length)
        for (const RtfRun& run : parseRtf(dense.substr(0, length)))
            EXPECT_FALSE(run.text.empty()) << length;
}

TEST(TextEncodings, Windows1252AndUtf8)
{
    EXPECT_EQ(windows1252ToUtf8("a\x80\x85\x92\x9f\xa0\xe9\xff"), "a\u20ac\u2026\u2019\u0178\u00a0\u00e9\u00ff");
    EXPECT_EQ(windows1252ToUtf8("\x81\x8d"), "\u0081\u008d"); // unassigned bytes keep their C1 code points
    EXPECT_TRUE(isUtf8("plain \xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x8a"));
    // cut, overlong, a surrogate, beyond U+10FFFF, single-byte text
    for (const char* bad : {"\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "caf\xe9"})
        EXPECT_FALSE(isUtf8(bad)) << bad;
    std::string out;
    for (const char32_t c : {0x41u, 0xE9u, 0x20ACu, 0x1F60Au, 0xD800u, 0x110000u})
        appendUtf8(out, c);
    EXPECT_EQ(out, "A\u00e9\u20ac\U0001F60A\ufffd\ufffd");
}

// A stand-in for the system's conversion that shows what it was handed: "<page:hex bytes>".
// It knows no code page 1234, as a system may not.
std::optional<std::string> tracingConversion(unsigned codePage, std::string_view bytes)
{
    if (codePage == 1234)
        return std::nullopt;
    std::string out = "<" + std::to_string(codePage) + ":";
    for (const char c : bytes) {
        constexpr std::string_view kHex = "0123456789abcdef";
        out += kHex[static_cast<unsigned char>(c) >> 4];
        out += kHex[static_cast<unsigned char>(c) & 0xF];
    }
    return out + ">";
}

TEST(RtfCodePages, EscapedBytesAreReadInTheFontsTheDocumentsOrTheSystemsCodePage)
{
    const TextDecoding system1252{kCodePageWindows1252, tracingConversion};
    const TextDecoding system1251{1251, tracingConversion};
    const TextDecoding noConversion{1251, nullptr};
    struct Case {
        const char* document;
        const TextDecoding* decoding;
        const char* text;
    };
    const Case cases[] = {
        // the document's \ansicpg wins over the system's; consecutive bytes go over together
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0 x}", &system1252, "<1251:cff0> x"},
        {"{\\rtf1\\ansi \\'cf\\'f0}", &system1251, "<1251:cff0>"},
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", &system1251, "caf\u00e9"},
        // a double-byte character arrives whole
        {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2.}", &system1252, "<932:82a082a2>."},
        // a font's charset decides for its text; the default charset and symbol fonts do not
        {"{\\rtf1\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}\\f1\\'cf\\f0\\'e9}", &system1252,
         "<1251:cf>\u00e9"},
        {"{\\rtf1\\ansicpg1250{\\fonttbl{\\f0\\fcharset1 A;}{\\f1\\fcharset2 Symbol;}}\\f0\\'e9\\f1\\'e9}", &system1252,
         "<1250:e9><1250:e9>"},
        {"{\\rtf1\\deff1{\\fonttbl{\\f1\\fcharset238 Arial CE;}}\\'b9}", &system1252, "<1250:b9>"},
        // stray bytes of a document that is not UTF-8 are text of the code page as well
        {"{\\rtf1\\ansicpg1251 \xcf\xf0}", &system1252, "<1251:cff0>"},
        // a stand-in after \uN is skipped, not converted
        {"{\\rtf1\\ansicpg1251 \\u1055\\'cf!}", &system1252, "\u041f!"},
        // a code page the system cannot convert, or no conversion at all: Windows-1252
        {"{\\rtf1\\ansicpg1234 \\'e9}", &system1252, "\u00e9"},
        {"{\\rtf1\\ansicpg1251 \\'cf}", &noConversion, "\u00cf"},
    };
    for (const auto& [document, decoding, text] : cases)
        EXPECT_EQ(textOf(readRtf(document, *decoding).runs), text) << document;
    EXPECT_EQ(readRtf("{\\rtf1\\ansi\\ansicpg1251 x}", system1252).ansiCodePage, 1251u);
    EXPECT_EQ(readRtf("{\\rtf1\\ansi x}", system1252).ansiCodePage, std::nullopt);
}

TEST(RtfCodePages, PlainHelpTextIsUtf8BehindItsMarkOrElseInTheSystemsCodePage)
{
    const TextDecoding system1251{1251, tracingConversion};
    EXPECT_EQ(readHelpDocument("\xcf\xf0\xe8\r\n", system1251).text, "<1251:cff0e80d0a>");
    // UTF-8 behind its mark, and also without one where the text is UTF-8 throughout, as
    // editors save it today (the data files take the mark alone).
    EXPECT_EQ(readHelpDocument("\xEF\xBB\xBF\xd0\x9f\xd1\x80\xd0\xb8", system1251).text, "\u041f\u0440\u0438");
    EXPECT_EQ(readHelpDocument("\xd0\x9f\xd1\x80\xd0\xb8", system1251).text, "\u041f\u0440\u0438");
    EXPECT_EQ(readHelpDocument("\xcf\xd0\x9f", system1251).text, "<1251:cfd09f>");
    EXPECT_EQ(readHelpDocument("\xcf\xf0\xe8", TextDecoding{}).text,
              "\u00cf\u00f0\u00e8"); // no conversion: Windows-1252
    // Where text is as it is (POSIX): UTF-8 as it stands, other bytes and a rich-text document's
    // escaped bytes as Windows-1252.
    EXPECT_EQ(readHelpDocument("\xd0\x9f", kTextAsItIs).text, "\u041f");
    EXPECT_EQ(readHelpDocument("\xEF\xBB\xBF"
                               "Caf\xE9 \x80",
                               kTextAsItIs)
                  .text,
              "Caf\u00e9 \u20ac");
    EXPECT_EQ(textOf(readRtf("{\\rtf1\\ansi \\'c3\\'a9}", kTextAsItIs).runs), "\u00c3\u00a9");
}

} // namespace
} // namespace latchsweep
