#pragma once

#include <memory>

#include "app/window.h"

namespace latchsweep {

class Application;
class ViewFactory;

class frmAboutView : public WindowView {};

// The about box.
class frmAbout {
public:
    frmAbout(Application& app, ViewFactory& views);
    ~frmAbout();
    void load();
    frmAboutView& view() { return *view_; }

private:
    Application& app_;
    std::unique_ptr<frmAboutView> view_;
};

} // namespace latchsweep
