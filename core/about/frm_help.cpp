#include "core/about/frm_help.h"

#include <algorithm>
#include <array>

#include "core/base/virtual_store.h"

namespace latchsweep {
namespace {

constexpr std::array kHelpControls{
    ControlLayout{"OKButton", ControlKind::Button, {6480, 120, 1215, 375}, "OK", {}, {}, 0},
    ControlLayout{"CancelButton", ControlKind::Button, {6480, 600, 1215, 375}, "Cancel", {}, {}, 1},
    ControlLayout{"Label1", ControlKind::Label, {120, 120, 6135, 855}, "Help!", {}, {"Arial", 36, true, false}, 2},
    ControlLayout{
        "helptxt", ControlKind::RichText, {120, 1080, 7575, 1575}, frmHelp::kInitialText, {}, kDialogFont, 3, "Label1"},
};
// Neither button is the default or the cancel button: Enter and Esc press nothing.
constexpr WindowLayout kHelpLayout{"frmHelp", "Help", 7860, 2775, kHelpControls, {}, Placement::FixedClient,
                                   2760,      3750};

} // namespace

frmHelp::frmHelp(const WindowContext& context, const MakeView& makeView)
    : WindowPresenter(context, makeView, *this)
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
        view_->setHelpRuns(document.runs);
    else
        view_->setHelpText(document.text);
}

void frmHelp::onOK() { close(); }

void frmHelp::onCancel() { close(); }

void frmHelp::onCloseRequest() { close(); }

const WindowLayout& frmHelpLayout() { return kHelpLayout; }

std::span<const ButtonCommand<frmHelp>> frmHelp::buttons()
{
    static constexpr ButtonCommand<frmHelp> kButtons[] = {{"OKButton", &frmHelp::onOK},
                                                          {"CancelButton", &frmHelp::onCancel}};
    return kButtons;
}

} // namespace latchsweep
