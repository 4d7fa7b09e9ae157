#pragma once

#include <windows.h>

#include <vector>

#include "core/app/form1.h"
#include "win32/app/controls.h"
#include "win32/app/icons.h"
#include "win32/app/menus.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// The main window: a fixed-size window with the menu bar, the frame and the two buttons. Every
// event goes straight to the presenter; the notification area's callback arrives here too, as
// the window's own WM_MOUSEMOVE.
class Form1Window : public NativeWindow, public Form1View {
public:
    static constexpr const char* kClassName = "LatchsweepForm1";

    explicit Form1Window(Form1& presenter);
    ~Form1Window() override;

    // WindowView
    void show() override;
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }

    // Form1View
    [[nodiscard]] WindowHandle handle() const override;
    [[nodiscard]] IconHandle icon() const override;
    void setIcon(IconHandle icon) override;
    [[nodiscard]] std::vector<IconHandle> imageList() const override;
    void setMinimized(bool minimized) override;
    void setVisible(bool visible) override;
    [[nodiscard]] double twipsPerPixelX() const override { return twipsPerPixel_; }

    [[nodiscard]] const Controls& controls() const { return controls_; }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onCommand(WPARAM wParam, LPARAM lParam);

    Form1& presenter_;
    double twipsPerPixel_;
    MenuCommands menuCommands_;
    Controls controls_;
    IconPair design_;              // the design-time icon; IconObject is its handle
    std::vector<IconPair> frames_; // ImageList1
    HICON current_ = nullptr;      // the window's icon as the tray gets it (the small image)
    UINT taskbarCreated_ = 0;
    bool placed_ = false;
    bool minimized_ = false;
};

} // namespace latchsweep::win32
