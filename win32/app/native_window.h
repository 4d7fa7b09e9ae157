#pragma once

#include <windows.h>

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

protected:
    void create(const WindowArgs& args);

    // The window's messages; the default leaves them to the system.
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// Resizes a window so that its client area has exactly the given size: a menu bar that wraps
// onto a second line makes the frame computed beforehand too small.
void fitClientArea(HWND window, int clientWidth, int clientHeight);

} // namespace latchsweep::win32
