#pragma once

#include <memory>
#include <span>

#include "core/base/layout.h"
#include "core/base/menu.h"
#include "core/base/window.h"

namespace latchsweep {

// Form4 is never shown; its view only carries the pop-up menu, built from form4Menu().
class Form4View : public WindowView {
public:
    // Pops the menu up at the mouse position for the main window and returns once the user has
    // chosen or dismissed: the chosen item's command, or Command::None. Only the left button
    // chooses.
    virtual Command trackPopup() = 0;
};

// The carrier of the notification-area pop-up menu: created hidden on the first right-click,
// discarded by Show Main Window. It has no controls and no load logic.
class Form4 {
public:
    using MakeView = latchsweep::MakeView<Form4View, Form4>;

    // Needs nothing of the running program: the pop-up's command goes back to the caller.
    explicit Form4(const MakeView& makeView);
    ~Form4();

    Form4(const Form4&) = delete;
    Form4& operator=(const Form4&) = delete;

    void load() {}
    Form4View& view() { return *view_; }

    // Pops the menu up and returns the command chosen. While the menu is up the pop-up runs its
    // own event loop; another right-click arriving there opens nothing, so that no second menu
    // (and no second command) stacks on the first.
    Command popup();

private:
    std::unique_ptr<Form4View> view_;
    bool popped_ = false;
};

// Form4's caption and (empty) client area.
const WindowLayout& form4Layout();

// The menu the notification-area icon pops up: the children of Form4's `Menu`.
std::span<const MenuItem> popupMenu();

// `Menu`, the root of Form4's menu tree; its caption is never displayed and its children are
// the pop-up's entries.
const MenuItem& form4Menu();

} // namespace latchsweep
