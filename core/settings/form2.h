#pragma once

#include <memory>

#include "app/window.h"

namespace latchsweep {

class Application;
class ViewFactory;

class Form2View : public WindowView {};

// The game directory window.
class Form2 {
public:
    Form2(Application& app, ViewFactory& views);
    ~Form2();
    void load();
    Form2View& view() { return *view_; }

private:
    Application& app_;
    std::unique_ptr<Form2View> view_;
};

} // namespace latchsweep
