#pragma once

#include <memory>
#include <string>

#include "app/window.h"

namespace latchsweep {

class Application;
class ViewFactory;

class Form3View : public WindowView {
public:
    [[nodiscard]] virtual std::string text1() const = 0;
    virtual void setText1(const std::string& text) = 0;
};

// The auto-delete settings window; its delay box is the live store of the scan delay.
class Form3 {
public:
    static constexpr const char* kInitialDelay = "10000";

    Form3(Application& app, ViewFactory& views);
    ~Form3();
    void load();
    Form3View& view() { return *view_; }
    [[nodiscard]] std::string text1() const { return view_->text1(); }

private:
    Application& app_;
    std::unique_ptr<Form3View> view_;
};

} // namespace latchsweep
