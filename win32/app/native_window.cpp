#include "win32/app/native_window.h"

#include "win32/app/handles.h"

namespace latchsweep::win32 {

NativeWindow::~NativeWindow()
{
    if (hwnd_) {
        // From here on no message reaches this half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void NativeWindow::create(const WindowArgs& args)
{
    // Wide windows throughout, so that every text they are given or report is the system's
    // Unicode, never the ANSI code page's.
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring className = fromUtf8(args.className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(instance, className.c_str(), &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = className.c_str();
        RegisterClassExW(&windowClass);
    }

    RECT frame{0, 0, args.clientWidth, args.clientHeight};
    AdjustWindowRectEx(&frame, args.style, args.menu != nullptr, args.exStyle);
    CreateWindowExW(args.exStyle, className.c_str(), fromUtf8(args.caption).c_str(), args.style, CW_USEDEFAULT,
                    CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, args.parent, args.menu, instance,
                    this);
    if (hwnd_ && args.parent != HWND_MESSAGE)
        fitClientArea(hwnd_, args.clientWidth, args.clientHeight);
}

LRESULT CALLBACK NativeWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
        return self->onMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT NativeWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void fitClientArea(HWND window, int clientWidth, int clientHeight)
{
    RECT client{};
    RECT outer{};
    if (!GetClientRect(window, &client) || !GetWindowRect(window, &outer))
        return;
    const int dw = clientWidth - (client.right - client.left);
    const int dh = clientHeight - (client.bottom - client.top);
    if (dw == 0 && dh == 0)
        return;
    SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) + dw, (outer.bottom - outer.top) + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace latchsweep::win32
