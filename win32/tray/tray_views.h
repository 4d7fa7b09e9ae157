#pragma once

#include <windows.h>

#include <memory>

#include "core/tray/form4.h"
#include "win32/app/menus.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// Form4: a window that is never shown and only carries the pop-up menu, built from the core's
// tree under `Menu`. The menu pops up for this window, which the shell then treats as the one
// the menu belongs to.
class Form4Window : public NativeWindow, public Form4View {
public:
    static constexpr const char* kClassName = "LatchsweepForm4";

    Form4Window();

    // Never shown, whatever asks.
    void show() override {}
    [[nodiscard]] bool isShown() const override { return false; }

    Command trackPopup() override;

    [[nodiscard]] HMENU menu() const { return menu_.get(); }

private:
    MenuCommands commands_;
    OwnedMenu menu_;
};

std::unique_ptr<Form4View> makeForm4View(Form4& presenter);

} // namespace latchsweep::win32
