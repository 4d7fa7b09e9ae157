#pragma once

#include <memory>
#include <string_view>

#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

// What the presenter of every window holds: the window's context and the view the front end made
// for it from the window's layout, the window's load step, and the ways such a window closes.
class Form : public FormEvents {
public:
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() { *alive_ = false; }

    // The window's load step, run once as the instance comes into being.
    virtual void load() {}
    WindowView& view() { return *view_; }

    // The close box: discards the window, unsaved, as the handler's last step.
    void onClose() override { close(); }

protected:
    Form(const WindowContext& context, const WindowLayout& windowLayout)
        : context_(context),
          view_(context.views().make(windowLayout, *this))
    {}

    // Closes the window and discards this instance: the last step of the handler that calls it.
    // After the program has ended, nothing.
    void close() const
    {
        if (!context_.ended())
            context_.discard();
    }

    // Shows a message box over the window and says whether the window is still there once it
    // is dismissed: other events run while the box is up, and one of them may discard it.
    [[nodiscard]] bool showAndSurvive(std::string_view text, std::string_view title) const
    {
        const std::shared_ptr<const bool> alive = alive_;
        context_.platform().messages.show(view_.get(), text, title);
        return *alive;
    }

    WindowContext context_;
    std::unique_ptr<WindowView> view_;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace latchsweep
