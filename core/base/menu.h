#pragma once

// The vocabulary of the program's menus, shared by every window that has one and by the front
// ends that build them.

#include <cstddef>
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

// An entry of a menu bar drawn in rows: its row, and its place within that row.
struct BarPlace {
    std::size_t row = 0;
    std::size_t entry = 0;

    friend bool operator==(const BarPlace&, const BarPlace&) = default;
};

// Where the arrow keys lead on a menu bar that wraps into rows of `rowLengths` entries: the rows
// are only how the bar is drawn, so a step (+1 right, -1 left) past the end of a row goes on in
// the next row, and a step past either end of the bar comes round to the other end, as on a bar
// of one row.
BarPlace stepAlongBar(std::span<const std::size_t> rowLengths, BarPlace from, int step);

// The trees themselves are data of the windows that carry them: mainMenuBar() (app/form1.h) and
// popupMenu() (tray/form4.h).

} // namespace latchsweep
