#pragma once

#include <QHash>
#include <QMainWindow>
#include <QMenuBar>
#include <functional>
#include <vector>

#include "core/app/form1.h"
#include "qt/app/window_adapter.h"

namespace latchsweep::qt {

// The main window on Qt: a fixed-size window with the menu bar, the frame and the two buttons.
// Every event goes straight to the presenter until the window is detached from it.
class Form1Window : public QMainWindow {
public:
    explicit Form1Window(Form1& presenter);
    ~Form1Window() override;

    // The presenter is gone: the window only waits for its deletion.
    void detach() { presenter_ = nullptr; }

    // Shows the window and brings it to the front; at its first showing it is centred on the
    // screen, frame and all.
    void present();
    // The native window's handle, as the notification-icon record carries it.
    [[nodiscard]] WindowHandle handle() const;
    [[nodiscard]] IconHandle icon() const { return icon_; }
    void setIcon(IconHandle icon);
    // The animation frames, in order.
    [[nodiscard]] const std::vector<IconHandle>& imageList() const { return frames_; }
    void setMinimized(bool minimized);
    void setVisible(bool visible) override;
    [[nodiscard]] double twipsPerPixelX() const { return twipsPerPixel_; }

    // Delivers a mouse-move at X (in twips) as the window's own mouse-move event does; the
    // notification-area adapter sends its callback through here.
    void deliverMouseMove(double xTwips)
    {
        deliver([xTwips](Form1& form) { form.onMouseMove(xTwips); });
    }
    // A notification area appeared: the window adds its icon again.
    void onNotificationAreaCreated() { deliver(&Form1::onNotificationAreaCreated); }
    void onNotificationAreaGone() { deliver(&Form1::onNotificationAreaGone); }
    // A tray host that draws the pop-up itself asked for Form4's menu, or reports its choice.
    void onHostPopupShown() { deliver(&Form1::onHostPopupShown); }
    void onHostPopupChosen(Command command)
    {
        deliver([command](Form1& form) { form.onHostPopupChosen(command); });
    }

    // The rows of the menu bar, top to bottom; each is a menu bar of its own. (QMainWindow's
    // menuBar() would replace them all with a new, empty bar.)
    [[nodiscard]] std::vector<QMenuBar*> menuBarRows() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a presenter's handler unless the window was detached.
    template <class Handler>
    void deliver(Handler handler)
    {
        if (presenter_)
            std::invoke(handler, *presenter_);
    }

    void buildMenuBar();
    void wrapMenuBar();
    // The arrow keys on a row of the bar: a step that leaves the row goes on to the row the core
    // names, with a menu opened on the way opened there too. False leaves the step to the row.
    bool stepAlongBar(QMenuBar* row, int step);

    Form1* presenter_;
    double twipsPerPixel_;
    QWidget* client_;
    IconHandle icon_;
    std::vector<IconHandle> frames_;
    bool fitted_ = false; // fixed at the size of its client area and menu bar, once
    bool placed_ = false;
    bool framePending_ = false; // placed before a window manager framed it
    bool returning_ = false;    // leaving the minimised state: the next showing brings it to the front
    bool menusOpen_ = false;    // the arrow keys came to an entry without a menu from an open one
};

// What the core holds of the main window.
class Form1Adapter : public WindowAdapter<Form1Window, Form1View> {
public:
    using WindowAdapter::WindowAdapter;

    void show() override
    {
        if (window_)
            window_->present();
    }
    [[nodiscard]] WindowHandle handle() const override { return window_ ? window_->handle() : 0; }
    [[nodiscard]] IconHandle icon() const override { return window_ ? window_->icon() : 0; }
    void setIcon(IconHandle icon) override
    {
        if (window_)
            window_->setIcon(icon);
    }
    [[nodiscard]] std::vector<IconHandle> imageList() const override
    {
        return window_ ? window_->imageList() : std::vector<IconHandle>();
    }
    void setMinimized(bool minimized) override
    {
        if (window_)
            window_->setMinimized(minimized);
    }
    void setVisible(bool visible) override
    {
        if (window_)
            window_->setVisible(visible);
    }
    [[nodiscard]] double twipsPerPixelX() const override
    {
        return window_ ? window_->twipsPerPixelX() : kDefaultTwipsPerPixel;
    }
};

} // namespace latchsweep::qt
