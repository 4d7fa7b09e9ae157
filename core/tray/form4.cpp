#include "core/tray/form4.h"

#include <array>

namespace latchsweep {
namespace {

constexpr WindowLayout kForm4Layout{"Form4", "Icon Popup Menu", 0, 0, {}};

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

} // namespace

Form4::Form4(const MakeView& makeView)
    : view_(makeView(*this))
{}
Form4::~Form4() = default;

Command Form4::popup()
{
    if (popped_)
        return Command::None;
    popped_ = true;
    const Command chosen = view_->trackPopup();
    popped_ = false;
    return chosen;
}

const WindowLayout& form4Layout() { return kForm4Layout; }

std::span<const MenuItem> popupMenu() { return kPopup; }

const MenuItem& form4Menu()
{
    static const MenuItem root{"Menu", "Menu", Command::None, popupMenu()};
    return root;
}

} // namespace latchsweep
