#include <gtest/gtest.h>

#include <string>

#include "about/rtf.h"

namespace latchsweep {
namespace {

std::string textOf(const std::vector<RtfRun>& runs)
{
    std::string text;
    for (const RtfRun& run : runs)
        text += run.text;
    return text;
}

// The run holding `needle`; fails the test when there is none.
const RtfRun& runWith(const std::vector<RtfRun>& runs, std::string_view needle)
{
    for (const RtfRun& run : runs)
        if (run.text.find(needle) != std::string::npos)
            return run;
    ADD_FAILURE() << "no run holds '" << needle << "' in '" << textOf(runs) << "'";
    static const RtfRun none;
    return none;
}

TEST(RtfDetection, OnlyADocumentThatOpensWithTheRtfGroupIsRich)
{
    EXPECT_TRUE(isRtf("{\\rtf1\\ansi hello}"));
    EXPECT_TRUE(isRtf("{\\rtf"));
    EXPECT_FALSE(isRtf(" {\\rtf1 hello}"));
    EXPECT_FALSE(isRtf("{\\rt"));
    EXPECT_FALSE(isRtf("Latchsweep help\r\n{\\rtf1}"));
    EXPECT_FALSE(isRtf(""));
}

TEST(RtfText, ParagraphsTabsAndEscapedMarkup)
{
    const auto runs = parseRtf("{\\rtf1\\ansi First line\\par\r\nSecond\\tab column\\line third\\par "
                               "braces \\{ \\} and \\\\ backslash\\par}");
    EXPECT_EQ(textOf(runs), "First line\nSecond\tcolumn\nthird\nbraces { } and \\ backslash\n");
}

TEST(RtfText, SourceLineBreaksAreNotTextButEscapedOnesAreParagraphs)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 one\r\ntwo\ntwo\\\nthree}")), "onetwotwo\nthree");
}

TEST(RtfText, TheDelimitingSpaceBelongsToTheControlWord)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\b bold\\b0  two spaces}")), "bold two spaces");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\b1x\\b0-y}")), "ax-y");
}

TEST(RtfText, HexEscapesAreWindows1252)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 caf\\'e9 \\'80 \\'93quoted\\'94 \\'A9}")),
              "caf\u00e9 \u20ac \u201cquoted\u201d \u00a9");
}

TEST(RtfText, NamedCharacters)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\emdash b\\endash c\\bullet d\\lquote e\\rquote\\ldblquote f\\rdblquote "
                              "g\\~h}")),
              "a\u2014b\u2013c\u2022d\u2018e\u2019\u201cf\u201dg\u00a0h");
}

TEST(RtfUnicode, ReplacementCharactersAreSkippedByTheCountOfUc)
{
    // \uc1 is the default: one stand-in character follows each \u.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u955?\\u8364?}")), "\u03bb\u20ac");
    // A hex escape counts as one character, as does a control word.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u233\\'e9x}")), "\u00e9x");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1\\uc2 \\u20320\\'c4\\'e3 ok}")), "\u4f60 ok");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1\\uc0 \\u955 x}")), "\u03bbx");
    // Negative values stand for the upper half of the 16-bit range.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u-3913?}")), "\uf0b7");
}

TEST(RtfUnicode, SurrogatePairsJoinAndLoneOnesAreReplaced)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u-10179?\\u-8694?}")), "\U0001F60A");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u-10179?x}")), "\ufffdx");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 \\u-8694?}")), "\ufffd");
}

TEST(RtfUnicode, UcIsScopedToItsGroupAndBracesEndTheSkip)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 {\\uc3 \\u955abc}\\u955?d}")), "\u03bb\u03bbd");
    // A stand-in cut short by a group boundary skips no further.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1\\uc4 \\u955?}x{y}")), "\u03bb");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1\\uc4 \\u955?{y}z}")), "\u03bbyz");
}

TEST(RtfFormatting, CharacterFormatsFollowTheGroups)
{
    const auto runs =
        parseRtf("{\\rtf1 plain {\\b bold {\\i both}} {\\ul under\\ulnone  not} \\strike gone\\strike0  back}");
    EXPECT_FALSE(runWith(runs, "plain").format.bold);
    EXPECT_TRUE(runWith(runs, "bold").format.bold);
    EXPECT_FALSE(runWith(runs, "bold").format.italic);
    EXPECT_TRUE(runWith(runs, "both").format.bold);
    EXPECT_TRUE(runWith(runs, "both").format.italic);
    EXPECT_TRUE(runWith(runs, "under").format.underline);
    EXPECT_FALSE(runWith(runs, "not").format.underline);
    EXPECT_TRUE(runWith(runs, "gone").format.strike);
    EXPECT_FALSE(runWith(runs, "back").format.strike);
    EXPECT_EQ(textOf(runs), "plain bold both under not gone back");
}

TEST(RtfFormatting, AdjacentTextOfOneFormatIsOneRun)
{
    const auto runs = parseRtf("{\\rtf1 a{b}\\b0 c\\i\\i0 d{\\b e}{\\b f}}");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "abcd");
    EXPECT_EQ(runs[1].text, "ef");
    EXPECT_TRUE(runs[1].format.bold);
}

TEST(RtfFormatting, SizesAreHalfPointsAndPlainResets)
{
    const auto runs = parseRtf("{\\rtf1 default \\fs40\\b big \\plain reset}");
    EXPECT_EQ(runWith(runs, "default").format.halfPoints, 24);
    EXPECT_EQ(runWith(runs, "big").format.halfPoints, 40);
    EXPECT_TRUE(runWith(runs, "big").format.bold);
    EXPECT_EQ(runWith(runs, "reset").format.halfPoints, 24);
    EXPECT_FALSE(runWith(runs, "reset").format.bold);
}

TEST(RtfFormatting, ColoursComeFromTheColourTable)
{
    const auto runs = parseRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue160;}"
                               "auto \\cf1 red \\cf2 blue \\cf0 auto again \\cf9 beyond}");
    EXPECT_EQ(runWith(runs, "auto ").format.colour, std::nullopt);
    EXPECT_EQ(runWith(runs, "red").format.colour, (RtfColour{255, 0, 0}));
    EXPECT_EQ(runWith(runs, "blue").format.colour, (RtfColour{0, 0, 160}));
    EXPECT_EQ(runWith(runs, "again").format.colour, std::nullopt);
    EXPECT_EQ(runWith(runs, "beyond").format.colour, std::nullopt);
    EXPECT_EQ(textOf(runs), "auto red blue auto again beyond");
}

TEST(RtfFormatting, FontsComeFromTheFontTableWithTheDefaultFontFirst)
{
    const auto runs = parseRtf("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                               "{\\f1\\fswiss\\fprq2{\\*\\panose 020b0604020202020204}Arial;}}"
                               "default \\f0 roman \\plain again}");
    EXPECT_EQ(runWith(runs, "default").format.family, "Arial");
    EXPECT_EQ(runWith(runs, "roman").format.family, "Times New Roman");
    EXPECT_EQ(runWith(runs, "again").format.family, "Arial");
    EXPECT_EQ(textOf(runs), "default roman again");
}

TEST(RtfFormatting, AFontTableWithoutSubgroupsStillNamesItsFonts)
{
    // The form a Mac word processor writes.
    const auto runs = parseRtf("{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fmodern Courier;}"
                               "\\f0 sans \\f1 mono}");
    EXPECT_EQ(runWith(runs, "sans").format.family, "Helvetica");
    EXPECT_EQ(runWith(runs, "mono").format.family, "Courier");
}

TEST(RtfFormatting, HiddenTextIsNotShown)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 shown {\\v hidden}shown\\v  gone\\v0  again}")), "shown shown again");
}

TEST(RtfDestinations, TablesAndOptionalDestinationsHoldNoText)
{
    const auto runs = parseRtf("{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                               "{\\*\\generator Writer 1.0;}{\\*\\unknownthing {nested} text}"
                               "{\\header head}{\\pict\\wmetafile8 0102ff}body"
                               "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}");
    EXPECT_EQ(textOf(runs), "bodylink");
}

TEST(RtfDestinations, BinaryDataIsSkippedWhateverItHolds)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 {\\pict\\bin4 }}{x}after}")), "after");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\bin3 {{{b}")), "ab");
    // A length beyond the document stops at its end.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\bin999999 bc}")), "a");
}

TEST(RtfDocuments, AWordProcessorDocument)
{
    // Shaped as WordPad and Word save: header tables, generator, stylesheet, paragraph
    // properties, a bullet list with its legacy text, \uN with \uc1 and a trailing \par.
    const std::string document =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}"
        "{\\f2\\fswiss\\fprq2\\fcharset0 Arial Black;}}\r\n"
        "{\\colortbl ;\\red192\\green0\\blue0;\\red0\\green112\\blue192;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}{\\stylesheet{\\s0\\snext0\\f0\\fs22 Normal;}"
        "{\\s1\\sbasedon0\\snext0\\b\\f2\\fs32 heading 1;}}\r\n"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}}}\r\n"
        "\\viewkind4\\uc1 \r\n"
        "\\pard\\s1\\sa200\\sl276\\slmult1\\cf1\\b\\f2\\fs32\\lang9 Latchsweep Help\\cf0\\b0\\f0\\fs22\\par\r\n"
        "\\pard\\sa200 Keeps the game\\rquote s lock file away \\endash  even while you play.\\par\r\n"
        "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-360\\li720 Choose the \\i game directory\\i0 .\\par\r\n"
        "\\pard Caf\\u233?s, na\\u239?ve \\cf2\\ul r\\'e9sum\\'e9\\cf0\\ulnone .\\par\r\n"
        "}\r\n";
    const auto runs = parseRtf(document);
    EXPECT_EQ(textOf(runs), "Latchsweep Help\n"
                            "Keeps the game\u2019s lock file away \u2013 even while you play.\n"
                            "\u00b7\tChoose the game directory.\n"
                            "Caf\u00e9s, na\u00efve r\u00e9sum\u00e9.\n");
    const RtfRun& heading = runWith(runs, "Latchsweep Help");
    EXPECT_TRUE(heading.format.bold);
    EXPECT_EQ(heading.format.halfPoints, 32);
    EXPECT_EQ(heading.format.family, "Arial Black");
    EXPECT_EQ(heading.format.colour, (RtfColour{192, 0, 0}));
    const RtfRun& body = runWith(runs, "Keeps the game");
    EXPECT_FALSE(body.format.bold);
    EXPECT_EQ(body.format.halfPoints, 22);
    EXPECT_EQ(body.format.family, "Calibri");
    EXPECT_EQ(body.format.colour, std::nullopt);
    EXPECT_TRUE(runWith(runs, "game directory").format.italic);
    EXPECT_EQ(runWith(runs, "\u00b7").format.family, "Symbol");
    const RtfRun& linked = runWith(runs, "r\u00e9sum\u00e9");
    EXPECT_TRUE(linked.format.underline);
    EXPECT_EQ(linked.format.colour, (RtfColour{0, 112, 192}));
}

TEST(RtfDocuments, AHandWrittenUtf8DocumentKeepsItsCharacters)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 Stra\xc3\x9f" "e \xe2\x82\xac}")), "Stra\u00dfe \u20ac");
    // Not UTF-8 throughout: stray high bytes are single-byte text.
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 caf\xe9 \xc3}")), "caf\u00e9 \u00c3");
}

TEST(RtfDocuments, NothingAfterTheOutermostGroupIsRead)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 inside}outside{more}")), "inside");
}

TEST(RtfMalformed, UnbalancedBracesAreToleratedAndFormattingStaysScoped)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 open {\\b never closed")), "open never closed");
    EXPECT_EQ(textOf(parseRtf("}}}{\\rtf1 after strays}")), "after strays");
    const auto runs = parseRtf("{\\rtf1 {\\b bold}} trailing");
    EXPECT_EQ(textOf(runs), "bold");
}

TEST(RtfMalformed, TruncatedEscapesAreDropped)
{
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\'")), "a");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\'4")), "a");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\'4g b}")), "ag b");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\")), "a");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\u")), "a");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\u-")), "a");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1 a\\u955")), "a\u03bb");
    EXPECT_EQ(textOf(parseRtf("{\\rtf1\\colortbl\\red300\\green")), "");
}

TEST(RtfMalformed, HugeParametersAreClamped)
{
    const auto runs = parseRtf("{\\rtf1\\fs99999999999999999999 big \\u99999999999? \\uc99999999999 \\u955"
                               "abcdefghijklmnopqrstuvwxyz \\cf-5 x\\f-7 y}");
    EXPECT_GT(runWith(runs, "big").format.halfPoints, 0);
    EXPECT_EQ(runWith(runs, "y").format.colour, std::nullopt);
    // The skip count is bounded, so the text after it still appears.
    EXPECT_NE(textOf(runs).find("qrstuvwxyz"), std::string::npos);
}

TEST(RtfMalformed, DeepNestingNeitherCrashesNorLosesText)
{
    std::string deep = "{\\rtf1 start";
    for (int i = 0; i < 200'000; ++i)
        deep += "{\\b ";
    deep += "core";
    for (int i = 0; i < 200'000; ++i)
        deep += "}";
    deep += " end";
    const auto runs = parseRtf(deep);
    EXPECT_EQ(textOf(runs), "startcore end");
    EXPECT_TRUE(runWith(runs, "core").format.bold);
    EXPECT_FALSE(runWith(runs, "start").format.bold);
    EXPECT_FALSE(runWith(runs, " end").format.bold);

    // Unclosed deep nesting to the end of the input.
    std::string open = "{\\rtf1 ";
    for (int i = 0; i < 100'000; ++i)
        open += "{\\*\\x ";
    EXPECT_TRUE(parseRtf(open).empty());
}

TEST(RtfMalformed, ArbitraryBytesNeverCrash)
{
    // A cheap stand-in for the fuzz target: every prefix of a dense document, and noise.
    const std::string document = "{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1;}\\u-10179?\\'e9\\bin2 {}\\uc9 \\u1"
                                 "{\\*\\x}\\b\\fs\\cf1 z\\\\\\{}";
    for (std::size_t length = 0; length <= document.size(); ++length)
        (void)parseRtf(document.substr(0, length));
    constexpr std::string_view kAlphabet = "{}\\'u0123456789abcdefxyz-;\xff\x80 ";
    std::string noise;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 20'000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        noise += kAlphabet[(seed >> 16) % kAlphabet.size()];
    }
    const auto runs = parseRtf("{\\rtf1 " + noise);
    for (const RtfRun& run : runs)
        EXPECT_FALSE(run.text.empty());
}

TEST(Windows1252, HighBytesMapToTheirCharacters)
{
    EXPECT_EQ(windows1252ToUtf8("a\x80\x85\x92\x9f\xa0\xe9\xff"), "a\u20ac\u2026\u2019\u0178\u00a0\u00e9\u00ff");
    EXPECT_EQ(windows1252ToUtf8("\x81\x8d"), "\u0081\u008d");
}

TEST(Utf8, ValidationAndEncoding)
{
    EXPECT_TRUE(isUtf8("plain \xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x8a"));
    EXPECT_FALSE(isUtf8("\xc3"));          // cut
    EXPECT_FALSE(isUtf8("\xc0\xaf"));      // overlong
    EXPECT_FALSE(isUtf8("\xed\xa0\x80"));  // surrogate
    EXPECT_FALSE(isUtf8("\xf4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isUtf8("caf\xe9"));
    std::string out;
    appendUtf8(out, 0x41);
    appendUtf8(out, 0xE9);
    appendUtf8(out, 0x20AC);
    appendUtf8(out, 0x1F60A);
    appendUtf8(out, 0xD800);
    appendUtf8(out, 0x110000);
    EXPECT_EQ(out, "A\u00e9\u20ac\U0001F60A\ufffd\ufffd");
}

} // namespace
} // namespace latchsweep
