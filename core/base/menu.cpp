#include "core/base/menu.h"

#include <array>

namespace latchsweep {
namespace {

constexpr std::array kFileItems{MenuItem{"exit", "Exit", Command::Exit}};
constexpr std::array kSettingsItems{
    MenuItem{"settingsdir", "MM2 Directory", Command::OpenGameDirectory},
    MenuItem{"settingadelete", "Auto Delete", Command::OpenAutoDelete},
};
constexpr std::array kSettingsTitleItems{MenuItem{"settings", "Settings", Command::None, kSettingsItems}};
constexpr std::array kHelpItems{
    MenuItem{"help", "Help", Command::OpenHelp},
    MenuItem{"about", "About", Command::OpenAbout},
};
// 43 spaces, then the word: the entry stands far to the right of "Help".
constexpr std::string_view kMinimizeCaption = "                                           Minimize";
static_assert(kMinimizeCaption.size() == 51);

constexpr std::array kMenuBar{
    MenuItem{"file", "File", Command::None, kFileItems},
    MenuItem{"settingsm", "Settings", Command::None, kSettingsTitleItems},
    MenuItem{"helpm", "Help", Command::None, kHelpItems},
    MenuItem{"minimize", kMinimizeCaption, Command::Minimize},
};

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

std::span<const MenuItem> mainMenuBar() { return kMenuBar; }
std::span<const MenuItem> popupMenu() { return kPopup; }

} // namespace latchsweep
