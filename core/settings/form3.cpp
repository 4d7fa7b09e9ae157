#include "core/settings/form3.h"

#include <array>

#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"

namespace latchsweep {
namespace {

using namespace form3;

constexpr std::array kForm3Controls{
    ControlLayout{Frame1.name, ControlKind::Frame, {120, 120, 4455, 735}, "Auto-Delete Settings", {}, {}, 0},
    ControlLayout{
        Label2.name, ControlKind::Label, {120, 240, 2535, 255}, "Milliseconds in Scanning Delay:", Frame1.name, {}, 1},
    ControlLayout{Command1.name, ControlKind::Button, {120, 960, 4455, 255}, "Save", {}, {}, 2},
    // One line of free text.
    ControlLayout{text1.name,
                  ControlKind::RichText,
                  {2400, 240, 1935, 375},
                  Form3::kInitialDelay,
                  Frame1.name,
                  kDialogFont,
                  3,
                  Label2.name,
                  {.border = Border::Sunken}},
};
constexpr WindowLayout kForm3Layout{.name = "Form3",
                                    .caption = "Auto-Delete Settings",
                                    .clientWidth = 4680,
                                    .clientHeight = 1365,
                                    .controls = kForm3Controls,
                                    .icon = IconId::Wastebin};

} // namespace

const WindowLayout& form3Layout() { return kForm3Layout; }

Form3::Form3(const WindowContext& context)
    : SettingsForm(context, kForm3Layout)
{}

void Form3::load()
{
    if (const auto content = readSettingFile(context_.platform().files, kAutoDeleteFile)) {
        loaded_ = withoutFinalLineBreak(*content);
        view_->setText(form3::text1, loaded_);
    }
}

std::string Form3::text1() const { return edited_ ? view_->text(form3::text1) : loaded_; }

void Form3::onEdit(ControlId box)
{
    if (box == form3::text1)
        edited_ = true;
}

void Form3::onClick(ControlId button)
{
    if (button == form3::Command1)
        save();
}

void Form3::save()
{
    saveLine(kAutoDeleteFile, text1(), kSaved, kSavedTitle, [] {});
}

} // namespace latchsweep
