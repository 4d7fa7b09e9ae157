#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

#include "core/base/menu.h"

namespace latchsweep::win32 {

// Native menus built from the core's menu trees, and the way back from an item's id to the
// command it carries.
class MenuCommands {
public:
    // Item ids start at `firstId`, clear of the window's control ids.
    explicit MenuCommands(UINT firstId)
        : firstId_(firstId)
    {}

    // Appends the items to `menu`: a title over children becomes a submenu, anything else a
    // command item (on a menu bar too).
    void append(HMENU menu, std::span<const MenuItem> items);

    [[nodiscard]] std::optional<Command> command(UINT id) const;

private:
    UINT firstId_;
    std::vector<Command> commands_;
};

// Menus are not windows: whoever builds one that no window owns destroys it.
class OwnedMenu {
public:
    explicit OwnedMenu(HMENU menu)
        : menu_(menu)
    {}
    ~OwnedMenu()
    {
        if (menu_)
            DestroyMenu(menu_);
    }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    [[nodiscard]] HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

} // namespace latchsweep::win32
