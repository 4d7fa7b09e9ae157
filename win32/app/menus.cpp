#include "win32/app/menus.h"

#include <string>

namespace latchsweep::win32 {

void MenuCommands::append(HMENU menu, std::span<const MenuItem> items)
{
    for (const MenuItem& item : items) {
        const std::wstring caption = fromUtf8(item.caption);
        if (!item.children.empty()) {
            HMENU submenu = CreatePopupMenu();
            append(submenu, item.children);
            AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
            continue;
        }
        const UINT id = firstId_ + static_cast<UINT>(commands_.size());
        commands_.push_back(item.command);
        AppendMenuW(menu, MF_STRING, id, caption.c_str());
    }
}

std::optional<Command> MenuCommands::command(UINT id) const
{
    if (id < firstId_ || id - firstId_ >= commands_.size())
        return std::nullopt;
    return commands_[id - firstId_];
}

} // namespace latchsweep::win32
