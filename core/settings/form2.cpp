#include "core/settings/form2.h"

#include <array>

#include "core/base/text_decoding.h"
#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"

namespace latchsweep {
namespace {

using namespace form2;

constexpr std::array kForm2Controls{
    ControlLayout{MM2Dir.name, ControlKind::DirectoryList, {0, 0, 5895, 3240}, "", {}, {}, 0, "Form2"},
    ControlLayout{Command1.name, ControlKind::Button, {0, 3240, 5895, 255}, "Save", {}, {}, 1},
    ControlLayout{Label1.name, ControlKind::Label, {120, 3600, 2055, 255}, "Current MM2 Directory:", {}, {}, 2},
    // A display of the stored file that reads like a label: every line of it, flat, on the face.
    ControlLayout{curmm2dir.name,
                  ControlKind::RichText,
                  {1800, 3600, 4095, 495},
                  Form2::kNoDirectory,
                  {},
                  kDialogFont,
                  3,
                  Label1.name,
                  {.multiLine = true, .readOnly = true, .border = Border::None, .onButtonFace = true}},
};
constexpr WindowLayout kForm2Layout{.name = "Form2",
                                    .caption = "Select Midtown Madness 2 Directory",
                                    .clientWidth = 5985,
                                    .clientHeight = 4230,
                                    .controls = kForm2Controls,
                                    .icon = IconId::Binoculars};

} // namespace

const WindowLayout& form2Layout() { return kForm2Layout; }

Form2::Form2(const WindowContext& context)
    : SettingsForm(context, kForm2Layout),
      MM2Dir_(context.platform().files, context.platform().files.currentDirectory())
{}

void Form2::load()
{
    view_->setEntries(form2::MM2Dir, MM2Dir_.entries(), MM2Dir_.currentIndex());
    showStoredPath();
}

void Form2::onOpen(ControlId list, std::size_t entry)
{
    if (context_.ended() || list != form2::MM2Dir)
        return;
    if (MM2Dir_.open(entry))
        view_->setEntries(form2::MM2Dir, MM2Dir_.entries(), MM2Dir_.currentIndex());
}

void Form2::onClick(ControlId button)
{
    if (button == form2::Command1)
        save();
}

void Form2::save()
{
    saveLine(kDirectoryFile, lockFilePath(MM2Dir_.path(), context_.platform().files.separator()), kSaved, kSavedTitle,
             [this] { showStoredPath(); });
}

std::string Form2::lockFilePath(std::string_view directory, char separator)
{
    std::string path(directory);
    path += separator;
    path += kLockFileName;
    return path;
}

void Form2::showStoredPath()
{
    // A file that cannot be read leaves the text shown before: the initial one at load. The
    // line break a save ends the line with is no line of its own: the box reads like a label.
    if (const auto content = readSettingFile(context_.platform().files, kDirectoryFile))
        view_->setText(form2::curmm2dir, withLineFeeds(withoutFinalLineBreak(*content)));
}

} // namespace latchsweep
