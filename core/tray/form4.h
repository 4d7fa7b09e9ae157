#pragma once

#include <memory>

#include "app/menu.h"
#include "app/window.h"

namespace latchsweep {

class Application;
class ViewFactory;

// Form4 is never shown; its view only carries the pop-up menu.
class Form4View : public WindowView {
public:
    // Pops the menu up at the mouse position for the main window; the command chosen, or
    // Command::None when the pop-up was dismissed.
    virtual Command trackPopup() = 0;
};

class Form4 {
public:
    Form4(Application& app, ViewFactory& views);
    ~Form4();
    void load() {}
    Form4View& view() { return *view_; }
    Command popup() { return view_->trackPopup(); }

private:
    std::unique_ptr<Form4View> view_;
};

} // namespace latchsweep
