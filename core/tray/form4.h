#pragma once

#include <span>

#include "core/base/layout.h"
#include "core/base/menu.h"
#include "core/base/presenter.h"
#include "core/base/window_context.h"

namespace latchsweep {

// The carrier of the notification-area pop-up menu: never shown, created hidden on the first
// right-click, discarded by Show Main Window. It has no controls and no load logic.
class Form4 : public Form {
public:
    explicit Form4(const WindowContext& context);

    // Pops the menu up and returns the command chosen. While the menu is up the pop-up runs its
    // own event loop; another right-click arriving there opens nothing, so that no second menu
    // (and no second command) stacks on the first.
    Command popup();

private:
    bool popped_ = false;
};

// Form4's description: its caption, no client area, and its menu.
const WindowLayout& form4Layout();

// The menu the notification-area icon pops up: the children of Form4's `Menu`.
std::span<const MenuItem> popupMenu();

// `Menu`, the root of Form4's menu tree; its caption is never displayed and its children are
// the pop-up's entries.
const MenuItem& form4Menu();

} // namespace latchsweep
