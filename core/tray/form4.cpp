#include "core/tray/form4.h"

#include <array>

namespace latchsweep {
namespace {

constexpr std::array kPopupFileItems{MenuItem{"exit", "Exit", Command::Exit}};
constexpr std::array kPopupSettingsItems{
    MenuItem{"mm2dir", "MM2 Directory", Command::OpenGameDirectory},
    MenuItem{"autodelete", "Auto-Delete", Command::OpenAutoDelete},
};
constexpr std::array kPopupSettingsTitleItems{MenuItem{"settings", "Settings", Command::None, kPopupSettingsItems}};
constexpr std::array kPopupHelpItems{
    MenuItem{"help", "Help", Command::OpenHelp},
    MenuItem{"about", "About", Command::OpenAbout},
};
constexpr std::array kPopup{
    MenuItem{"filemenu", "File", Command::None, kPopupFileItems},
    MenuItem{"setmenu", "Settings", Command::None, kPopupSettingsTitleItems},
    MenuItem{"helpmenu", "Help", Command::None, kPopupHelpItems},
    MenuItem{"show", "Show Main Window", Command::ShowMainWindow},
};

constexpr MenuItem kMenu{"Menu", "Menu", Command::None, kPopup};
constexpr WindowLayout kForm4Layout{
    .name = "Form4", .caption = "Icon Popup Menu", .frame = WindowFrame::None, .popup = &kMenu};

} // namespace

Form4::Form4(const WindowContext& context)
    : Form(context, kForm4Layout)
{}

Command Form4::popup()
{
    if (popped_)
        return Command::None;
    popped_ = true;
    const Command chosen = view_->popup();
    popped_ = false;
    return chosen;
}

const WindowLayout& form4Layout() { return kForm4Layout; }

std::span<const MenuItem> popupMenu() { return kPopup; }

const MenuItem& form4Menu() { return kMenu; }

} // namespace latchsweep
