#pragma once

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

// The main window's menu bar, titles in order; Minimize is a command on the bar itself.
std::span<const MenuItem> mainMenuBar();

// The menu the notification-area icon pops up: the children of Form4's `Menu`.
std::span<const MenuItem> popupMenu();

} // namespace latchsweep
