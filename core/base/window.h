#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

namespace latchsweep {

// What every window of the program can do on screen.
class WindowView {
public:
    virtual ~WindowView() = default; // the native window goes with its view
    // Shows the window modeless and without an owner; one already on screen comes to the front.
    virtual void show() = 0;
    [[nodiscard]] virtual bool isShown() const = 0;
};

// A button of a window and the presenter's handler for a click on it. Each presenter with
// buttons lists them (buttons()); front ends run a click, and Enter or Esc pressing a button of
// the window's KeyRoles, through pressButton().
template <class Presenter>
struct ButtonCommand {
    std::string_view button;
    void (Presenter::*run)();
};

// Runs the handler of the button named `button`; false, and nothing run, for a name without one
// (an empty KeyRoles entry among them). The handler may discard the presenter: pressing a button
// is the last step of the event that does it.
template <class Presenter>
bool pressButton(Presenter& presenter, std::string_view button)
{
    for (const ButtonCommand<Presenter>& command : Presenter::buttons()) {
        if (!button.empty() && command.button == button) {
            (presenter.*command.run)();
            return true;
        }
    }
    return false;
}

// How a presenter gets its native window: made by the front end for that presenter, whose events
// the view forwards to it. The application builds one per window kind from its ViewFactory.
template <class View, class Presenter>
using MakeView = std::function<std::unique_ptr<View>(Presenter&)>;

// The place of one window kind's single instance, as the window itself sees it.
class WindowSlot {
public:
    // Closes the window and destroys its presenter. A window may discard itself from one of its
    // own handlers; that must be the handler's last step, since the presenter is gone when
    // discard() returns. The slot itself outlives every instance it holds.
    virtual void discard() = 0;

protected:
    ~WindowSlot() = default;
};

// The single process-wide instance of one window kind: absent until first use, created with
// its load step, discarded when closed. The next use brings up a fresh instance.
template <class Window>
class WindowInstance final : public WindowSlot {
public:
    using Create = std::function<std::unique_ptr<Window>()>;

    explicit WindowInstance(Create create)
        : create_(std::move(create))
    {}

    WindowInstance(const WindowInstance&) = delete;
    WindowInstance& operator=(const WindowInstance&) = delete;

    // The instance, created hidden (with its load step) when absent.
    Window& obtain()
    {
        if (!window_) {
            window_ = create_();
            window_->load();
        }
        return *window_;
    }

    // The instance, created when absent, shown or brought to the front.
    Window& show()
    {
        Window& window = obtain();
        window.view().show();
        return window;
    }

    void discard() override { window_.reset(); }

    [[nodiscard]] Window* get() const { return window_.get(); }
    [[nodiscard]] bool exists() const { return window_ != nullptr; }

private:
    Create create_;
    std::unique_ptr<Window> window_;
};

} // namespace latchsweep
