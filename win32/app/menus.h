#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

#include "core/base/menu.h"
#include "win32/app/handles.h"

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
using OwnedMenu = Owned<HMENU, DestroyMenu>;

} // namespace latchsweep::win32
