#pragma once

#include <QHash>
#include <QMainWindow>
#include <QMenuBar>
#include <vector>

#include "core/app/form1.h"

namespace latchsweep::qt {

// The main window on Qt: a fixed-size window with the menu bar, the frame and the two buttons.
// Every event goes straight to the presenter.
class Form1Window : public QMainWindow, public Form1View {
public:
    explicit Form1Window(Form1& presenter);
    ~Form1Window() override;

    // WindowView
    void show() override;
    [[nodiscard]] bool isShown() const override { return isVisible(); }

    // Form1View
    [[nodiscard]] WindowHandle handle() const override;
    [[nodiscard]] IconHandle icon() const override { return icon_; }
    void setIcon(IconHandle icon) override;
    [[nodiscard]] std::vector<IconHandle> imageList() const override { return frames_; }
    void setMinimized(bool minimized) override;
    void setVisible(bool visible) override;
    [[nodiscard]] double twipsPerPixelX() const override { return twipsPerPixel_; }

    // Delivers a mouse-move at X (in twips) as the window's own mouse-move event does; the
    // notification-area adapter sends its callback through here.
    void deliverMouseMove(double xTwips) { presenter_.onMouseMove(xTwips); }
    // A notification area appeared: the window adds its icon again.
    void onNotificationAreaCreated() { presenter_.onNotificationAreaCreated(); }
    void onNotificationAreaGone() { presenter_.onNotificationAreaGone(); }
    // A tray host that draws the pop-up itself asked for Form4's menu, or reports its choice.
    void onHostPopupShown() { presenter_.onHostPopupShown(); }
    void onHostPopupChosen(Command command) { presenter_.onHostPopupChosen(command); }

    // The rows of the menu bar, top to bottom; each is a menu bar of its own. (QMainWindow's
    // menuBar() would replace them all with a new, empty bar.)
    [[nodiscard]] std::vector<QMenuBar*> menuBarRows() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenuBar();
    void wrapMenuBar();
    void centre(); // the frame, where known, centred on the primary screen

    Form1& presenter_;
    double twipsPerPixel_;
    QWidget* client_;
    IconHandle icon_;
    std::vector<IconHandle> frames_;
    bool fitted_ = false; // fixed at the size of its client area and menu bar, once
    bool placed_ = false;
    bool framePending_ = false; // placed before a window manager framed it
    bool returning_ = false;    // leaving the minimised state: the next showing brings it to the front
};

} // namespace latchsweep::qt
