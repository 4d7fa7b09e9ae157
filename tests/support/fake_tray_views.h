#pragma once

#include <functional>

#include "fake_window_view.h"
#include "tray/form4.h"

namespace latchsweep::testing {

class FakeForm4View : public FakeWindowView<Form4View> {
public:
    int popups = 0;
    Command choice = Command::None; // what the user picks from the next pop-up
    Command trackPopup() override
    {
        ++popups;
        return choice;
    }
};

} // namespace latchsweep::testing
