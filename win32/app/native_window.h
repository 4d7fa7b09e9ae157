#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace latchsweep::win32 {

// How a top-level window is made. Sizes are pixels of the client area; the frame, caption and
// menu bar come on top of them.
struct WindowArgs {
    const char* className = nullptr; // registered on first use
    std::string caption;             // UTF-8
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    HWND parent = nullptr; // an owner, or HWND_MESSAGE for a window that only receives messages
    HMENU menu = nullptr;  // the menu bar; the window owns it from then on
    int clientWidth = 0;
    int clientHeight = 0;
    // Screen position of the client area's top-left corner; without one, the window system
    // places the window as it places new windows.
    std::optional<POINT> clientOrigin;
};

// A native window whose procedure hands every message to this object. Destroying the object
// destroys the window; its messages from then on go to the system's default handling only.
class NativeWindow {
public:
    NativeWindow() = default;
    virtual ~NativeWindow();

    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    [[nodiscard]] HWND hwnd() const { return hwnd_; }

    // Shows the window in its current state, or brings it to the front when already shown.
    void showAndRaise();

protected:
    void create(const WindowArgs& args);

    // The window's messages; the default leaves them to the system.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Where the focus goes when the window is activated for the first time.
    [[nodiscard]] HWND firstFocus() const;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    // The control that had the focus when the window was last deactivated, so that activation
    // gives it back as dialogs do (a plain window would otherwise keep the focus itself).
    HWND lastFocus_ = nullptr;
};

// Resizes a window so that its client area has exactly the given size: a menu bar that wraps
// onto a second line makes the frame computed beforehand too small.
void fitClientArea(HWND window, int clientWidth, int clientHeight);

} // namespace latchsweep::win32
