#pragma once

#include <memory>

#include "app/window.h"

namespace latchsweep {

class Application;
class ViewFactory;

class frmHelpView : public WindowView {};

// The help window.
class frmHelp {
public:
    frmHelp(Application& app, ViewFactory& views);
    ~frmHelp();
    void load();
    frmHelpView& view() { return *view_; }

private:
    Application& app_;
    std::unique_ptr<frmHelpView> view_;
};

} // namespace latchsweep
