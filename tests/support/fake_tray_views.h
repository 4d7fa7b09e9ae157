#pragma once

#include <functional>

#include "core/tray/form4.h"
#include "tests/support/fake_window_view.h"

namespace latchsweep::testing {

class FakeForm4View : public FakeWindowView<Form4View> {
public:
    int popups = 0;
    Command choice = Command::None;    // what the user picks from the next pop-up
    std::function<void()> whilePopped; // runs while the menu is up, as events would in its loop
    Command trackPopup() override
    {
        ++popups;
        if (whilePopped)
            whilePopped();
        return choice;
    }
};

} // namespace latchsweep::testing
