#pragma once

#include <QPointer>
#include <QWidget>
#include <unordered_map>

#include "core/base/window.h"

namespace latchsweep::qt {

// Shows a window modeless and in front; one already on screen only comes forward.
inline void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// The widget behind each view the front end has made, for the message boxes that a window asks
// for: a box stands over the window that asks.
class ViewWidgets {
public:
    void add(const WindowView& view, QWidget* widget) { widgets_[&view] = widget; }
    void remove(const WindowView& view) { widgets_.erase(&view); }
    // Null for a view not made here, and once its widget is gone.
    [[nodiscard]] QWidget* widget(const WindowView* view) const
    {
        const auto found = widgets_.find(view);
        return found == widgets_.end() ? nullptr : found->second.data();
    }

private:
    std::unordered_map<const WindowView*, QPointer<QWidget>> widgets_;
};

// What the core holds of a window: the widget behind a guarded pointer. When the core discards
// the window (often from inside one of the widget's own handlers) the widget is cut off from its
// presenter, hidden at once and deleted once control is back in the event loop.
// `Window` provides detach(), which forgets the presenter, where it has one.
template <class Window, class View>
class WindowAdapter : public View {
public:
    WindowAdapter(Window* window, ViewWidgets& widgets)
        : window_(window),
          widgets_(widgets)
    {
        widgets_.add(*this, window);
    }
    ~WindowAdapter() override
    {
        widgets_.remove(*this);
        if (!window_)
            return;
        if constexpr (requires { window_->detach(); })
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

protected:
    QPointer<Window> window_;

private:
    ViewWidgets& widgets_;
};

} // namespace latchsweep::qt
