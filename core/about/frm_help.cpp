#include "core/about/frm_help.h"

#include <algorithm>
#include <array>

#include "core/base/virtual_store.h"

namespace latchsweep {
namespace {

using namespace frm_help;

constexpr std::array kHelpControls{
    ControlLayout{OKButton.name, ControlKind::Button, {6480, 120, 1215, 375}, "OK", {}, {}, 0},
    ControlLayout{CancelButton.name, ControlKind::Button, {6480, 600, 1215, 375}, "Cancel", {}, {}, 1},
    ControlLayout{Label1.name, ControlKind::Label, {120, 120, 6135, 855}, "Help!", {}, {"Arial", 36, true, false}, 2},
    // Several lines with a three-dimensional border, for reading only.
    ControlLayout{helptxt.name,
                  ControlKind::RichText,
                  {120, 1080, 7575, 1575},
                  frmHelp::kInitialText,
                  {},
                  kDialogFont,
                  3,
                  Label1.name,
                  {.multiLine = true, .readOnly = true, .border = Border::Sunken}},
};
// Neither button is the default or the cancel button: Enter and Esc press nothing.
constexpr WindowLayout kHelpLayout{.name = "frmHelp",
                                   .caption = "Help",
                                   .clientWidth = 7860,
                                   .clientHeight = 2775,
                                   .controls = kHelpControls,
                                   .placement = Placement::FixedClient,
                                   .clientLeft = 2760,
                                   .clientTop = 3750,
                                   .frame = WindowFrame::Dialog,
                                   .icon = IconId::QuestionMark};

} // namespace

frmHelp::frmHelp(const WindowContext& context)
    : Form(context, kHelpLayout)
{}

void frmHelp::load()
{
    // By its bare name: the file in the working directory of the moment, never beside the program
    // (or its copy in the virtual store, where Windows showed it to the original program).
    FileSystem& files = context_.platform().files;
    const auto bytes = readHeadSeenByLegacyPrograms(files, kHelpFile, kHelpFileLimit);
    if (!bytes)
        return;
    const HelpDocument document = readHelpDocument(*bytes, files.textDecoding());
    if (document.rich)
        view_->setRuns(helptxt, document.runs);
    else
        view_->setText(helptxt, document.text);
}

void frmHelp::onClick(ControlId button)
{
    if (button == OKButton || button == CancelButton)
        close();
}

const WindowLayout& frmHelpLayout() { return kHelpLayout; }

} // namespace latchsweep
