#pragma once

#include <memory>
#include <string_view>

#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

// What the presenter of every window but the main one holds: the window's context and its view,
// made by the front end for this presenter, and the ways such a window closes.
template <class View>
class WindowPresenter {
public:
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    View& view() { return *view_; }

protected:
    template <class Presenter>
    WindowPresenter(const WindowContext& context, const MakeView<View, Presenter>& makeView, Presenter& self)
        : context_(context),
          view_(makeView(self))
    {}
    ~WindowPresenter() { *alive_ = false; }

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
    std::unique_ptr<View> view_;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace latchsweep
