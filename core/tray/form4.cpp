#include "core/tray/form4.h"

#include "core/app/application.h"

namespace latchsweep {
namespace {

constexpr WindowLayout kForm4Layout{"Form4", "Icon Popup Menu", 0, 0, {}};

} // namespace

Form4::Form4(Application&, ViewFactory& views) : view_(views.form4(*this)) {}
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

const MenuItem& form4Menu()
{
    static const MenuItem root{"Menu", "Menu", Command::None, popupMenu()};
    return root;
}

} // namespace latchsweep
