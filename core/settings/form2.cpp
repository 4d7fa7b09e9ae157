#include "core/settings/form2.h"

#include <array>

#include "core/base/text_decoding.h"
#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"

namespace latchsweep {
namespace {

constexpr std::array kForm2Controls{
    ControlLayout{"MM2Dir", ControlKind::DirectoryList, {0, 0, 5895, 3240}, "", {}, {}, 0, "Form2"},
    ControlLayout{"Command1", ControlKind::Button, {0, 3240, 5895, 255}, "Save", {}, {}, 1},
    ControlLayout{"Label1", ControlKind::Label, {120, 3600, 2055, 255}, "Current MM2 Directory:", {}, {}, 2},
    ControlLayout{
        "curmm2dir", ControlKind::RichText, {1800, 3600, 4095, 495}, Form2::kNoDirectory, {}, kDialogFont, 3, "Label1"},
};
constexpr WindowLayout kForm2Layout{"Form2", "Select Midtown Madness 2 Directory", 5985, 4230, kForm2Controls};

} // namespace

const WindowLayout& form2Layout() { return kForm2Layout; }

Form2::Form2(const WindowContext& context, const MakeView& makeView)
    : SettingsPresenter(context, makeView, *this),
      MM2Dir_(context.platform().files, context.platform().files.currentDirectory())
{}

void Form2::load()
{
    view_->showDirectories(MM2Dir_.entries(), MM2Dir_.currentIndex());
    showStoredPath();
}

void Form2::openDirectory(std::size_t index)
{
    if (context_.ended())
        return;
    if (MM2Dir_.open(index))
        view_->showDirectories(MM2Dir_.entries(), MM2Dir_.currentIndex());
}

void Form2::save()
{
    saveLine(kDirectoryFile, lockFilePath(MM2Dir_.path(), context_.platform().files.separator()), kSaved, kSavedTitle,
             [this] { showStoredPath(); });
}

void Form2::onClose() { close(); }

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
        view_->setCurmm2dir(withLineFeeds(withoutFinalLineBreak(*content)));
}

std::span<const ButtonCommand<Form2>> Form2::buttons()
{
    static constexpr ButtonCommand<Form2> kButtons[] = {{"Command1", &Form2::save}};
    return kButtons;
}

} // namespace latchsweep
