#include "core/settings/form3.h"

#include <array>

#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"

namespace latchsweep {
namespace {

constexpr std::array kForm3Controls{
    ControlLayout{"Frame1", ControlKind::Frame, {120, 120, 4455, 735}, "Auto-Delete Settings", {}, {}, 0},
    ControlLayout{
        "Label2", ControlKind::Label, {120, 240, 2535, 255}, "Milliseconds in Scanning Delay:", "Frame1", {}, 1},
    ControlLayout{"Command1", ControlKind::Button, {120, 960, 4455, 255}, "Save", {}, {}, 2},
    ControlLayout{"text1",
                  ControlKind::RichText,
                  {2400, 240, 1935, 375},
                  Form3::kInitialDelay,
                  "Frame1",
                  kDialogFont,
                  3,
                  "Label2"},
};
constexpr WindowLayout kForm3Layout{"Form3", "Auto-Delete Settings", 4680, 1365, kForm3Controls};

} // namespace

const WindowLayout& form3Layout() { return kForm3Layout; }

Form3::Form3(const WindowContext& context, const MakeView& makeView)
    : SettingsPresenter(context, makeView, *this)
{}

void Form3::load()
{
    if (const auto content = readSettingFile(context_.platform().files, kAutoDeleteFile))
        setText1(std::string(withoutFinalLineBreak(*content)));
}

void Form3::setText1(const std::string& text)
{
    loaded_ = text;
    view_->setText1(text);
}

std::string Form3::text1() const { return view_->text1Edited() ? view_->text1() : loaded_; }

void Form3::save()
{
    saveLine(kAutoDeleteFile, text1(), kSaved, kSavedTitle, [] {});
}

void Form3::onClose() { close(); }

std::span<const ButtonCommand<Form3>> Form3::buttons()
{
    static constexpr ButtonCommand<Form3> kButtons[] = {{"Command1", &Form3::save}};
    return kButtons;
}

} // namespace latchsweep
