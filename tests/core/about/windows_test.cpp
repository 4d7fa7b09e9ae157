#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "about/frm_about.h"
#include "about/frm_help.h"
#include "about/rtf.h"
#include "fake_views.h"

namespace latchsweep {
namespace {

using testing::FakeProgram;

std::string withoutZeroWidthSpaces(std::string text)
{
    for (auto at = text.find("\u200B"); at != std::string::npos; at = text.find("\u200B", at))
        text.erase(at, 3);
    return text;
}

struct HelpWindow : ::testing::Test {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;

    testing::FakeHelpView& open()
    {
        program.form1().onCommand(Command::OpenHelp);
        return *program.views.helpView;
    }
};

TEST_F(HelpWindow, WithoutAHelpFileTheInitialTextStays)
{
    files.files["/opt/latchsweep/help.txt"] = "beside the program";
    const auto& view = open();
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.loads, 0);
}

TEST_F(HelpWindow, PlainTextReplacesTheInitialTextWithItsLineBreaks)
{
    files.files["help.txt"] = "Latchsweep\r\n\r\nTurn ON starts\rsweeping.\nDone";
    EXPECT_EQ(open().text, "Latchsweep\n\nTurn ON starts\nsweeping.\nDone");
}

TEST_F(HelpWindow, AnEmptyFileLoadsAsEmptyText)
{
    files.files["help.txt"] = "";
    EXPECT_EQ(open().text, "");
}

TEST_F(HelpWindow, TextIsUtf8WhenItCanBeAndSingleByteOtherwise)
{
    files.files["help.txt"] = "\xEF\xBB\xBF" "Caf\xC3\xA9 \xE2\x82\xAC";
    EXPECT_EQ(open().text, "Caf\u00e9 \u20ac");
    program.app.help().get()->onOK();
    files.files["help.txt"] = "Caf\xE9 \x80";
    EXPECT_EQ(open().text, "Caf\u00e9 \u20ac");
}

TEST_F(HelpWindow, ARichTextDocumentIsShownWithItsFormatting)
{
    files.files["help.txt"] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs28\\b Help\\b0\\par Text}";
    const auto& view = open();
    ASSERT_TRUE(view.runs.has_value());
    ASSERT_EQ(view.runs->size(), 2u);
    EXPECT_EQ((*view.runs)[0].text, "Help");
    EXPECT_TRUE((*view.runs)[0].format.bold);
    EXPECT_EQ((*view.runs)[0].format.halfPoints, 28);
    EXPECT_EQ((*view.runs)[1].text, "\nText");
    EXPECT_EQ((*view.runs)[1].format.family, "Arial");
}

TEST_F(HelpWindow, AHugeFileIsShownAsFarAsTheLimitReaches)
{
    // Cut in the middle of a two-byte character: the text stays UTF-8 and loses only that tail.
    std::string huge(frmHelp::kHelpFileLimit - 1, 'a');
    huge += "\xC3\xA9";
    huge += std::string(4 * frmHelp::kHelpFileLimit, 'b');
    files.files["help.txt"] = huge;
    const auto& view = open();
    ASSERT_TRUE(view.text.has_value());
    EXPECT_TRUE(withoutZeroWidthSpaces(*view.text) == std::string(frmHelp::kHelpFileLimit - 1, 'a'));
}

TEST(HelpDocument, AnEndlessWordGetsInvisibleBreakOpportunities)
{
    std::string word;
    for (int i = 0; i < 300; ++i)
        word += "\xC3\xA9"; // two bytes each: breaks fall between characters, never inside one
    word += std::string(500, 'x');
    const std::string text = "short words stay " + word + " end";
    const HelpDocument document = readHelpDocument(text);
    EXPECT_FALSE(document.rich);
    EXPECT_EQ(withoutZeroWidthSpaces(document.text), text);
    EXPECT_TRUE(isUtf8(document.text));
    EXPECT_EQ(document.text.find("\u200B"), 17 + 256 * 2);
    std::size_t breaks = 0;
    for (auto at = document.text.find("\u200B"); at != std::string::npos; at = document.text.find("\u200B", at + 1))
        ++breaks;
    EXPECT_EQ(breaks, 3u); // 800 characters: after 256, 512 and 768
    EXPECT_EQ(readHelpDocument(std::string(256, 'y')).text, std::string(256, 'y'));
}

TEST(HelpDocument, AParagraphOfCountlessFormatsGoesOnInItsLastOne)
{
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i)
        rtf += i % 2 ? "\\b b\\b0 " : "n";
    rtf += "\\par {\\i second} paragraph\\par}";
    const HelpDocument document = readHelpDocument(rtf);
    ASSERT_TRUE(document.rich);
    std::string text;
    std::size_t firstParagraphRuns = 0;
    for (const RtfRun& run : document.runs) {
        if (text.find('\n') == std::string::npos)
            ++firstParagraphRuns;
        text += run.text;
    }
    EXPECT_EQ(firstParagraphRuns, 256u);
    std::string expected;
    for (int i = 0; i < 1000; ++i)
        expected += i % 2 ? "b" : "n";
    EXPECT_TRUE(withoutZeroWidthSpaces(text) == expected + "\nsecond paragraph\n");
    // The next paragraph has its formats again.
    const RtfRun& last = document.runs[document.runs.size() - 2];
    EXPECT_EQ(last.text, "second");
    EXPECT_TRUE(last.format.italic);
}

TEST_F(HelpWindow, OpeningAgainBringsTheSameWindowForwardWithoutReloading)
{
    files.files["help.txt"] = "first";
    open();
    frmHelp* first = program.app.help().get();
    files.files["help.txt"] = "edited";
    program.app.run(Command::OpenHelp); // as the tray menu's Help does
    EXPECT_EQ(program.app.help().get(), first);
    EXPECT_EQ(program.views.helpView->showCount, 2);
    EXPECT_EQ(program.views.helpView->text, "first");
    EXPECT_EQ(program.views.helpView->loads, 1);
}

TEST_F(HelpWindow, OkCancelAndTheCloseBoxDiscardItAndTheNextOpeningReads)
{
    files.files["help.txt"] = "one";
    open();
    program.app.help().get()->onOK();
    EXPECT_FALSE(program.app.help().exists());

    files.files["help.txt"] = "two";
    EXPECT_EQ(open().text, "two");
    program.app.help().get()->onCancel();
    EXPECT_FALSE(program.app.help().exists());

    open();
    program.app.help().get()->onCloseRequest();
    EXPECT_FALSE(program.app.help().exists());
}

TEST(AboutBox, OkAndTheCloseBoxDiscardIt)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenAbout);
    EXPECT_TRUE(program.views.aboutView->shown);
    program.app.about().get()->onOK();
    EXPECT_FALSE(program.app.about().exists());
    program.app.run(Command::OpenAbout);
    program.app.about().get()->onCloseRequest();
    EXPECT_FALSE(program.app.about().exists());
}

TEST(AboutBox, WithoutARegistrySystemInfoIsReportedAndTheBoxStays)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenAbout);
    program.app.about().get()->onSysInfo();
    ASSERT_EQ(program.platform.messages.shown.size(), 1u);
    EXPECT_EQ(program.platform.messages.shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(program.platform.messages.shown[0].title, "Latchsweep");
    EXPECT_TRUE(program.platform.launcher.launched.empty());
    EXPECT_TRUE(program.app.about().exists());
}

TEST(AboutBox, AfterTheEndNoHandlerActs)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenAbout);
    program.form1().onCommand(Command::OpenHelp);
    program.app.exitProgram();
    program.app.about().get()->onSysInfo();
    program.app.about().get()->onOK();
    program.app.help().get()->onOK();
    EXPECT_TRUE(program.platform.messages.shown.empty());
    EXPECT_TRUE(program.app.about().exists());
    EXPECT_TRUE(program.app.help().exists());
}

// The layouts are data both front ends draw from: a control outside its window or two
// controls sharing a tab stop would show on every platform.
void expectSoundLayout(const WindowSpec& spec, const TwipsRect& screenArea)
{
    EXPECT_EQ(screenArea.width, spec.clientWidth);
    EXPECT_EQ(screenArea.height, spec.clientHeight);
    std::set<std::string_view> names;
    std::set<int> tabs;
    for (const ControlSpec& control : spec.controls) {
        EXPECT_TRUE(names.insert(control.name).second) << control.name;
        EXPECT_TRUE(tabs.insert(control.tabIndex).second) << control.name;
        EXPECT_GE(control.rect.left, 0) << control.name;
        EXPECT_GE(control.rect.top, 0) << control.name;
        EXPECT_LE(control.rect.left + control.rect.width, spec.clientWidth) << control.name;
        EXPECT_LE(control.rect.top + control.rect.height, spec.clientHeight) << control.name;
    }
    EXPECT_EQ(*tabs.begin(), 0);
    EXPECT_EQ(*tabs.rbegin(), static_cast<int>(spec.controls.size()) - 1);
}

const ControlSpec& find(const WindowSpec& spec, std::string_view name)
{
    const auto found = std::find_if(spec.controls.begin(), spec.controls.end(),
                                    [&](const ControlSpec& control) { return control.name == name; });
    EXPECT_NE(found, spec.controls.end()) << name;
    return *found;
}

TEST(Layouts, HelpWindowControlsFitAndTheTextBoxLiesBelowTheRest)
{
    const WindowSpec& spec = frmHelpSpec();
    expectSoundLayout(spec, frmHelpClientArea());
    const TwipsRect box = find(spec, "helptxt").rect;
    for (const char* name : {"OKButton", "CancelButton", "Label1"}) {
        const TwipsRect above = find(spec, name).rect;
        EXPECT_LE(above.top + above.height, box.top) << name;
    }
    const TwipsRect label = find(spec, "Label1").rect;
    EXPECT_LE(label.left + label.width, find(spec, "OKButton").rect.left);
    EXPECT_EQ(find(spec, "OKButton").tabIndex, 0);
}

TEST(Layouts, AboutBoxControlsFitAndTheSeparatorsLieBetweenTheirNeighbours)
{
    const WindowSpec& spec = frmAboutSpec();
    expectSoundLayout(spec, frmAboutClientArea());
    EXPECT_EQ(find(spec, "cmdOK").tabIndex, 0);
    const TwipsRect description = find(spec, "lblDescription").rect;
    const TwipsRect disclaimer = find(spec, "lblDisclaimer").rect;
    const TwipsRect feedback = find(spec, "Label1").rect;
    for (const EtchedLine& line : frmAboutLines()) {
        EXPECT_LE(line.x2, spec.clientWidth);
        const bool upper = line.y < disclaimer.top;
        EXPECT_GE(line.y, upper ? description.top + description.height : disclaimer.top + disclaimer.height);
        EXPECT_LE(line.y, upper ? disclaimer.top : feedback.top);
    }
    // Each grey line comes after its white one, so that it is drawn over it.
    const auto lines = frmAboutLines();
    for (std::size_t i = 1; i < lines.size(); i += 2) {
        EXPECT_EQ(lines[i].y, lines[i - 1].y);
        EXPECT_EQ(lines[i].rgb, 0x808080u);
        EXPECT_EQ(lines[i - 1].rgb, 0xFFFFFFu);
    }
    for (const std::string_view name : frmAboutBlackLabels())
        EXPECT_EQ(find(spec, name).kind, ControlKind::Label);
}

} // namespace
} // namespace latchsweep
