#pragma once

// The vocabulary of the program's menus, shared by every window that has one and by the front
// ends that build them.

#include <span>
#include <string_view>

namespace latchsweep {

// Every command a menu item of the program can carry.
enum class Command {
    None, // a title that opens a submenu
    Exit,
    OpenGameDirectory,
    OpenAutoDelete,
    OpenHelp,
    OpenAbout,
    Minimize,
    ShowMainWindow,
};

// A menu item: a command, or a title over its children. No caption carries an access-key
// marker and no item has a shortcut key.
struct MenuItem {
    std::string_view name;
    std::string_view caption;
    Command command = Command::None;
    std::span<const MenuItem> children = {};
};

// The trees themselves are data of the windows that carry them: mainMenuBar() (app/form1.h) and
// popupMenu() (tray/form4.h).

} // namespace latchsweep
