#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <tuple>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/about/rtf.h"
#include "core/about/sysinfo.h"
#include "core/base/product.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

using testing::FakeProgram;
const std::string kHelp{frmHelp::kHelpFile};

std::string withoutZeroWidthSpaces(std::string text)
{
    for (auto at = text.find("\u200B"); at != std::string::npos; at = text.find("\u200B", at))
        text.erase(at, 3);
    return text;
}

struct HelpWindow : ::testing::Test {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;

    testing::FakeView& open()
    {
        program.form1().onCommand(Command::OpenHelp);
        return *program.views.newest["frmHelp"];
    }
};

TEST_F(HelpWindow, ReadsTheFileByItsBareNameAsPlainOrRichTextAsFarAsTheLimitReaches)
{
    files.files["/opt/latchsweep/help.txt"] = "beside the program";
    EXPECT_EQ(open().shownText(frm_help::helptxt), frmHelp::kInitialText); // no help file there
    EXPECT_TRUE(program.views.newest["frmHelp"]->visible);
    program.app.help().get()->onClick(frm_help::OKButton);

    // Line breaks of any kind; UTF-8 when the text is UTF-8 (a BOM dropped), Windows-1252 otherwise.
    const std::pair<std::string, std::string> cases[] = {
        {"Latchsweep\r\n\r\nTurn ON starts\rsweeping.\nDone", "Latchsweep\n\nTurn ON starts\nsweeping.\nDone"},
        {"", ""},
        {"\xEF\xBB\xBF"
         "Caf\xC3\xA9 \xE2\x82\xAC",
         "Caf\u00e9 \u20ac"},
        {"Caf\xE9 \x80", "Caf\u00e9 \u20ac"}};
    for (const auto& [content, shown] : cases) {
        files.files[kHelp] = content;
        EXPECT_EQ(open().shownText(frm_help::helptxt), shown) << content;
        program.app.help().get()->onClick(frm_help::OKButton);
    }

    files.files[kHelp] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs28\\b Help\\b0\\par Text}";
    const auto runs = open().runs["helptxt"];
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, "Help");
    EXPECT_TRUE(runs[0].format.bold);
    EXPECT_EQ(runs[0].format.halfPoints, 28);
    EXPECT_EQ(runs[1].text, "\nText");
    EXPECT_EQ(runs[1].format.family, "Arial");
    program.app.help().get()->onClick(frm_help::OKButton);

    // Cut in the middle of a two-byte character: the text stays UTF-8 and loses only that tail.
    const std::string head(frmHelp::kHelpFileLimit - 1, 'a');
    files.files[kHelp] = head + "\xC3\xA9" + std::string(4 * frmHelp::kHelpFileLimit, 'b');
    EXPECT_TRUE(withoutZeroWidthSpaces(open().shownText(frm_help::helptxt)) == head);
}

TEST(HelpDocument, AnEndlessWordGetsInvisibleBreakOpportunities)
{
    std::string word;
    for (int i = 0; i < 300; ++i)
        word += "\xC3\xA9"; // two bytes each: breaks fall between characters, never inside one
    const std::string text = "short words stay " + word + std::string(500, 'x') + " end";
    const HelpDocument document = readHelpDocument(text);
    EXPECT_FALSE(document.rich);
    EXPECT_EQ(withoutZeroWidthSpaces(document.text), text);
    EXPECT_TRUE(isUtf8(document.text));
    EXPECT_EQ(document.text.find("\u200B"), 17 + 256 * 2);
    EXPECT_EQ(document.text.size(), text.size() + 3 * 3); // 800 characters: after 256, 512 and 768
    EXPECT_EQ(readHelpDocument(std::string(256, 'y')).text, std::string(256, 'y'));
}

TEST(HelpDocument, AParagraphOfCountlessFormatsGoesOnInItsLastOne)
{
    std::string rtf = "{\\rtf1 ", expected;
    for (int i = 0; i < 500; ++i) {
        rtf += "n\\b b\\b0 ";
        expected += "nb";
    }
    const HelpDocument document = readHelpDocument(rtf + "\\par {\\i second} paragraph\\par}");
    ASSERT_TRUE(document.rich);
    std::string text;
    std::size_t firstParagraphRuns = 0;
    for (const RtfRun& run : document.runs) {
        firstParagraphRuns += text.find('\n') == std::string::npos;
        text += run.text;
    }
    EXPECT_EQ(firstParagraphRuns, 256u);
    EXPECT_TRUE(withoutZeroWidthSpaces(text) == expected + "\nsecond paragraph\n");
    const RtfRun& last = document.runs[document.runs.size() - 2]; // the next paragraph has its formats again
    EXPECT_EQ(last.text, "second");
    EXPECT_TRUE(last.format.italic);
}

TEST_F(HelpWindow, OpeningAgainBringsItForwardWithoutReloadingOkCancelAndCloseDiscardIt)
{
    files.files[kHelp] = "first";
    open();
    frmHelp* first = program.app.help().get();
    files.files[kHelp] = "edited";
    program.app.run(Command::OpenHelp); // as the tray menu's Help does
    EXPECT_EQ(program.app.help().get(), first);
    EXPECT_EQ(program.views.newest["frmHelp"]->showCount, 2);
    EXPECT_EQ(program.views.newest["frmHelp"]->shownText(frm_help::helptxt), "first");
    const std::function<void(frmHelp&)> closes[] = {[](frmHelp& help) { help.onClick(frm_help::OKButton); },
                                                    [](frmHelp& help) { help.onClick(frm_help::CancelButton); },
                                                    [](frmHelp& help) { help.onClose(); }};
    for (const auto& close : closes) {
        close(*program.app.help().get());
        EXPECT_FALSE(program.app.help().exists());
        EXPECT_EQ(open().shownText(frm_help::helptxt), "edited"); // the next opening reads again
    }
}

TEST(AboutBox, SystemInfoWithoutARegistryIsReportedAndTheBoxStaysOkAndTheCloseBoxDiscardIt)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenAbout);
    EXPECT_TRUE(program.views.newest["frmAbout"]->visible);
    program.app.about().get()->onSysInfo();
    ASSERT_EQ(program.platform.messages.shown.size(), 1u);
    EXPECT_EQ(program.platform.messages.shown[0].text, kSysInfoUnavailable);
    EXPECT_EQ(program.platform.messages.shown[0].owner, program.views.newest["frmAbout"]); // placed over the box
    EXPECT_TRUE(program.app.about().exists());
    program.app.about().get()->onClick(frm_about::cmdOK);
    EXPECT_FALSE(program.app.about().exists());
    program.app.run(Command::OpenAbout);
    program.app.about().get()->onClose();
    EXPECT_FALSE(program.app.about().exists());

    program.form1().onCommand(Command::OpenAbout); // after the end no handler acts
    program.form1().onCommand(Command::OpenHelp);
    program.app.exitProgram();
    program.app.about().get()->onSysInfo();
    program.app.about().get()->onClick(frm_about::cmdOK);
    program.app.help().get()->onClick(frm_help::OKButton);
    EXPECT_EQ(program.platform.messages.shown.size(), 1u);
    EXPECT_TRUE(program.app.about().exists() && program.app.help().exists());
}

// The layouts are data both front ends draw from: a control outside its window or two controls
// sharing a tab stop would show on every platform.
TEST(Layouts, ControlsFitTheirWindowWithOneTabStopEachAndGreyLinesAreDrawnOverWhiteOnes)
{
    for (const auto& [layout, first] : {std::pair{&frmHelpLayout(), "OKButton"}, {&frmAboutLayout(), "cmdOK"}}) {
        std::set<std::string_view> names;
        std::set<int> tabs;
        for (const ControlLayout& control : layout->controls) {
            EXPECT_TRUE(names.insert(control.name).second && tabs.insert(control.tabIndex).second) << control.name;
            EXPECT_TRUE(control.rect.left >= 0 && control.rect.left + control.rect.width <= layout->clientWidth &&
                        control.rect.top >= 0 && control.rect.top + control.rect.height <= layout->clientHeight)
                << control.name;
            EXPECT_EQ(control.tabIndex == 0, control.name == first) << control.name;
        }
        EXPECT_EQ(*tabs.begin(), 0);
        EXPECT_EQ(*tabs.rbegin(), static_cast<int>(layout->controls.size()) - 1);
    }
    for (const ControlLayout& control : frmAboutLayout().controls)
        EXPECT_TRUE(!control.traits.black || control.kind == ControlKind::Label) << control.name;
    // The texts the version record gives, as the box has always shown them for this version.
    const auto text = [](std::string_view name) {
        return std::ranges::find(frmAboutLayout().controls, name, &ControlLayout::name)->text;
    };
    EXPECT_EQ(frmAboutLayout().caption, "About " + std::string(kAppTitle));
    EXPECT_EQ(text("lblTitle"), "LATCHSWEEP");
    EXPECT_EQ(text("lblVersion"), "Version 1.0");
    const auto lines = frmAboutLayout().lines; // each grey line comes after its white one, on the same row
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].x2, frmAboutLayout().clientWidth);
        EXPECT_EQ(lines[i].rgb, i % 2 ? 0x808080u : 0xFFFFFFu);
        EXPECT_EQ(lines[i].y, lines[i - i % 2].y);
    }
}

} // namespace
} // namespace latchsweep
