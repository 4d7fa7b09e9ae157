#pragma once

#include <QPointer>
#include <QWidget>

namespace latchsweep::qt {

// Shows a window modeless and in front; one already on screen only comes forward.
inline void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// The widget behind a view of the core, for the message boxes that the window asks for.
class WidgetOwner {
public:
    [[nodiscard]] virtual QWidget* ownerWidget() const = 0;

protected:
    ~WidgetOwner() = default;
};

// What the core holds of a window: the widget behind a guarded pointer. When the core discards
// the window (often from inside one of the widget's own handlers) the widget is cut off from its
// presenter, hidden at once and deleted once control is back in the event loop.
// `Window` provides detach(), which forgets the presenter.
template <class Window, class View>
class WindowAdapter : public View, public WidgetOwner {
public:
    explicit WindowAdapter(Window* window) : window_(window) {}
    ~WindowAdapter() override
    {
        if (!window_)
            return;
        window_->detach();
        window_->hide();
        window_->deleteLater();
    }
    WindowAdapter(const WindowAdapter&) = delete;
    WindowAdapter& operator=(const WindowAdapter&) = delete;

    void show() override
    {
        if (window_)
            showInFront(window_);
    }
    [[nodiscard]] bool isShown() const override { return window_ && window_->isVisible(); }
    [[nodiscard]] Window* window() const { return window_; }
    [[nodiscard]] QWidget* ownerWidget() const override { return window_; }

protected:
    QPointer<Window> window_;
};

} // namespace latchsweep::qt
