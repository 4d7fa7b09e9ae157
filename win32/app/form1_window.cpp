#include "win32/app/form1_window.h"

#include "win32/app/handles.h"
#include "win32/resource_ids.h"
#include "win32/tray/notification_area.h"

namespace latchsweep::win32 {
namespace {

// Menu ids stay clear of the controls' ids (from kFirstControlId) and the dialog manager's.
constexpr UINT kFirstMenuId = 100;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

// The horizontal coordinate of a mouse message, sign and all (GET_X_LPARAM).
int xOf(LPARAM lParam) { return static_cast<int>(static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam)))); }

} // namespace

Form1Window::Form1Window(Form1& presenter)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      menuCommands_(kFirstMenuId),
      design_(IDI_LATCHSWEEP)
{
    const WindowLayout& layout = form1Layout();
    HMENU bar = CreateMenu();
    menuCommands_.append(bar, mainMenuBar());

    WindowArgs args;
    args.className = kClassName;
    args.caption = std::string(layout.caption);
    args.style = kStyle;
    args.menu = bar;
    args.clientWidth = twipsToPixels(layout.clientWidth, twipsPerPixel_);
    args.clientHeight = twipsToPixels(layout.clientHeight, twipsPerPixel_);
    create(args);

    controls_.build(hwnd(), layout, twipsPerPixel_);
    design_.applyTo(hwnd());
    current_ = design_.smallIcon();
    for (const int id : {IDI_FRAME1, IDI_FRAME2})
        frames_.emplace_back(id);

    taskbarCreated_ = registerTaskbarCreated(hwnd());
}

Form1Window::~Form1Window() = default;

void Form1Window::show()
{
    if (!placed_) {
        placed_ = true;
        placeOnFirstShowing(hwnd(), form1Layout(), twipsPerPixel_);
        // The first ShowWindow of a process follows the show state its starter asked for; the
        // window starts in normal state whatever that was.
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        if (!IsWindowVisible(hwnd()) || IsIconic(hwnd()))
            ShowWindow(hwnd(), SW_SHOWNORMAL);
        SetFocus(controls_[initialFocus(form1Layout())]);
    }
    showAndRaise();
}

WindowHandle Form1Window::handle() const { return toWindowHandle(hwnd()); }

IconHandle Form1Window::icon() const { return toIconHandle(current_); }

void Form1Window::setIcon(IconHandle icon)
{
    const HICON wanted = toHicon(icon);
    if (wanted == design_.smallIcon()) {
        design_.applyTo(hwnd());
        current_ = wanted;
        return;
    }
    for (const IconPair& frame : frames_) {
        if (frame.smallIcon() == wanted) {
            frame.applyTo(hwnd());
            current_ = wanted;
            return;
        }
    }
}

std::vector<IconHandle> Form1Window::imageList() const
{
    std::vector<IconHandle> handles;
    for (const IconPair& frame : frames_)
        handles.push_back(toIconHandle(frame.smallIcon()));
    return handles;
}

void Form1Window::setMinimized(bool minimized)
{
    minimized_ = minimized;
    // A hidden window changes state when it is shown again (setVisible); showing it now would
    // bring it back on screen before its time.
    if (!IsWindowVisible(hwnd()))
        return;
    if (minimized && !IsIconic(hwnd()))
        ShowWindow(hwnd(), SW_MINIMIZE);
    else if (!minimized && IsIconic(hwnd()))
        ShowWindow(hwnd(), SW_RESTORE);
}

void Form1Window::setVisible(bool visible)
{
    if (!visible) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    if (IsIconic(hwnd()) && !minimized_)
        ShowWindow(hwnd(), SW_RESTORE);
    else if (!IsWindowVisible(hwnd()))
        ShowWindow(hwnd(), minimized_ ? SW_SHOWMINNOACTIVE : SW_SHOW);
    if (!minimized_)
        SetForegroundWindow(hwnd());
}

void Form1Window::onCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (lParam == 0 && HIWORD(wParam) == 0) {
        if (const auto command = menuCommands_.command(static_cast<UINT>(id)))
            presenter_.onCommand(*command);
        return;
    }
    if (HIWORD(wParam) == BN_CLICKED)
        pressButton(presenter_, controls_.nameOf(id));
}

LRESULT Form1Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        presenter_.onNotificationAreaCreated();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        // Real movement over the client area and the notification area's callback alike: the
        // callback's mouse message code travels where the horizontal coordinate is.
        presenter_.onMouseMove(xOf(lParam) * twipsPerPixel_);
        return 0;
    case WM_CLOSE:
        // A close request always ends the program; it is never refused nor turned into hiding.
        presenter_.onCloseRequest();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            presenter_.onCloseRequest();
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

} // namespace latchsweep::win32
