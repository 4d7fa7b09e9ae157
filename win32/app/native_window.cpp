#include "win32/app/native_window.h"

#include "win32/app/controls.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

namespace {

// The name of the window's control that has the focus, or empty.
std::string_view focusedControl(const Controls& controls)
{
    // Only this window's controls are in `controls`.
    const ControlLayout* control = controls.layoutOf(GetFocus());
    return control ? control->name : std::string_view{};
}

} // namespace

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
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (args.clientOrigin) {
        x = args.clientOrigin->x + frame.left;
        y = args.clientOrigin->y + frame.top;
    }
    CreateWindowExW(args.exStyle, className.c_str(), fromUtf8(args.caption).c_str(), args.style, x, y,
                    frame.right - frame.left, frame.bottom - frame.top, args.parent, args.menu, instance, this);
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
        return self->dispatch(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT NativeWindow::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else if (!HIWORD(wParam)) { // not while minimised
            HWND target =
                lastFocus_ && IsChild(hwnd_, lastFocus_) && IsWindowEnabled(lastFocus_) ? lastFocus_ : firstFocus();
            if (target) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_ && IsChild(hwnd_, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        // Per-monitor aware: the window moved to a screen of another density. The system's
        // suggested rectangle keeps it under the mouse; the controls follow their layout.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (Controls* controls = Controls::of(hwnd_))
            controls->rescale(LOWORD(wParam));
        return 0;
    }
    case DM_GETDEFID:
        // The dialog manager asks which button Enter presses; with none it sends IDOK.
        if (const Controls* controls = Controls::of(hwnd_)) {
            const std::string_view button = buttonForEnter(controls->layout(), focusedControl(*controls));
            if (const int id = controls->id(button))
                return MAKELRESULT(id, DC_HASDEFID);
        }
        break;
    case WM_COMMAND:
        // Esc, which the dialog manager sends as IDCANCEL, presses the cancel button, if any.
        if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
            if (const Controls* controls = Controls::of(hwnd_)) {
                if (HWND button = (*controls)[controls->layout().keys.cancelButton]) {
                    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                    return 0;
                }
            }
        }
        break;
    default:
        break;
    }
    return onMessage(message, wParam, lParam);
}

HWND NativeWindow::firstFocus() const
{
    if (const Controls* controls = Controls::of(hwnd_))
        return (*controls)[initialFocus(controls->layout())];
    return GetNextDlgTabItem(hwnd_, nullptr, FALSE);
}

LRESULT NativeWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void NativeWindow::showAndRaise()
{
    if (!IsWindowVisible(hwnd_))
        ShowWindow(hwnd_, SW_SHOW);
    else if (IsIconic(hwnd_))
        ShowWindow(hwnd_, SW_RESTORE);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
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
