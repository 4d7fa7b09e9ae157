#include "win32/tray/tray_views.h"

#include <string>

namespace latchsweep::win32 {
namespace {

constexpr UINT kFirstMenuId = 100;

} // namespace

Form4Window::Form4Window()
    : commands_(kFirstMenuId),
      menu_(CreatePopupMenu())
{
    commands_.append(menu_.get(), form4Menu().children);
    WindowArgs args;
    args.className = kClassName;
    args.caption = std::string(form4Layout().caption);
    args.exStyle = WS_EX_TOOLWINDOW;
    create(args);
}

Command Form4Window::trackPopup()
{
    POINT at{};
    GetCursorPos(&at);
    // The menu closes on a click elsewhere only if its window is in the foreground; the message
    // posted afterwards lets the menu finish before the next one can open.
    SetForegroundWindow(hwnd());
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                       at.y, 0, hwnd(), nullptr));
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    return commands_.command(chosen).value_or(Command::None);
}

std::unique_ptr<Form4View> makeForm4View(Form4&) { return std::make_unique<Form4Window>(); }

} // namespace latchsweep::win32
