#include "win32/app/native_form.h"

#include <windowsx.h>

#include <string>

#include "core/base/placement.h"
#include "win32/app/rich_text.h"

namespace latchsweep::win32 {
namespace {

// Menu ids stay clear of the controls' ids (from kFirstControlId) and the dialog manager's.
constexpr UINT kFirstMenuId = 100;

// The pixels one level of a directory tree is indented by.
constexpr int kIndent = 12;

// The light dialog face a classic window keeps whatever the desktop's colours.
constexpr COLORREF kClassicFace = RGB(240, 240, 240);

// Moves a window, before it is first shown, to where its layout's placement puts it on the
// primary screen (firstPlace()), its frame and menu bar as they are now.
void placeOnFirstShowing(HWND window, const WindowLayout& windowLayout, double twipsPerPixel)
{
    RECT frame{};
    POINT client{0, 0};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetWindowRect(window, &frame) || !ClientToScreen(window, &client) ||
        !GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const auto screenRect = [](const RECT& rect) {
        return ScreenRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    };
    const auto at = firstPlace(windowLayout, screenRect(frame), {client.x - frame.left, client.y - frame.top},
                               {screenRect(monitor.rcMonitor), screenRect(monitor.rcWork)}, twipsPerPixel);
    if (at)
        SetWindowPos(window, nullptr, at->x, at->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

NativeForm::NativeForm(const WindowLayout& windowLayout, FormEvents& events, HWND owner)
    : layout_(windowLayout),
      events_(events),
      menuCommands_(kFirstMenuId),
      popup_(windowLayout.popup ? CreatePopupMenu() : nullptr)
{
    const double twipsPerPixel = screenTwipsPerPixel();
    WindowArgs args;
    args.className = "LatchsweepForm";
    args.caption = std::string(windowLayout.caption);
    args.clientWidth = twipsToPixels(windowLayout.clientWidth, twipsPerPixel);
    args.clientHeight = twipsToPixels(windowLayout.clientHeight, twipsPerPixel);
    if (windowLayout.frame == WindowFrame::Dialog) {
        args.exStyle |= WS_EX_DLGMODALFRAME;
        args.parent = owner;
    } else if (windowLayout.frame == WindowFrame::None) {
        args.exStyle = WS_EX_TOOLWINDOW;
    }
    if (!windowLayout.menuBar.empty()) {
        args.menu = CreateMenu();
        menuCommands_.append(args.menu, windowLayout.menuBar);
    }
    if (windowLayout.popup)
        menuCommands_.append(popup_.get(), windowLayout.popup->children);
    if (windowLayout.classicFace)
        classicFace_.reset(CreateSolidBrush(kClassicFace));
    create(args);

    controls_.build(hwnd(), windowLayout, twipsPerPixel);
    const IconPair own(windowLayout.icon);
    own.applyTo(hwnd());
    current_ = own.smallIcon();
    if (windowLayout.ownsTrayIcon) {
        // The shell broadcasts this to top-level windows when the task bar is created again (after
        // the shell restarted): the notification area then knows no icon of ours. It is let through
        // on systems that filter messages between integrity levels.
        taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
        ChangeWindowMessageFilterEx(hwnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
    }
}

Win32ViewFactory::Win32ViewFactory()
{
    WindowArgs args;
    args.className = "LatchsweepOwner";
    args.style = WS_OVERLAPPED;
    args.exStyle = WS_EX_TOOLWINDOW;
    create(args);
}

void NativeForm::show()
{
    if (layout_.frame == WindowFrame::None)
        return;
    if (!placed_) {
        placed_ = true;
        placeOnFirstShowing(hwnd(), layout_, controls_.twipsPerPixel());
        // The first ShowWindow of a process follows the show state its starter asked for; the
        // window starts in normal state whatever that was.
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        if (!IsWindowVisible(hwnd()) || IsIconic(hwnd()))
            ShowWindow(hwnd(), SW_SHOWNORMAL);
        if (HWND first = controls_[initialFocus(layout_)])
            SetFocus(first);
    }
    // In its current state, or brought to the front when already shown.
    if (!IsWindowVisible(hwnd()))
        ShowWindow(hwnd(), SW_SHOW);
    else if (IsIconic(hwnd()))
        ShowWindow(hwnd(), SW_RESTORE);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd());
}

void NativeForm::setText(ControlId control, const std::string& text)
{
    HWND native = controls_[control.name];
    const ControlLayout* layout = controls_.layoutOf(native);
    if (!layout)
        return;
    if (layout->kind != ControlKind::RichText) {
        SetWindowTextW(native, fromUtf8(text).c_str());
        return;
    }
    // As plain text: what a file holds, whatever it looks like.
    settingText_ = true;
    setPlainTextContent(native, text);
    SendMessageW(native, EM_SETMODIFY, FALSE, 0);
    settingText_ = false;
}

void NativeForm::setRuns(ControlId box, const std::vector<RtfRun>& runs)
{
    if (HWND native = controls_[box.name]) {
        settingText_ = true;
        win32::setRuns(native, runs);
        settingText_ = false;
    }
}

void NativeForm::setEntries(ControlId list, const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    HWND native = controls_[list.name];
    if (!native)
        return;
    const std::vector<DirectoryEntry>& kept = entries_[native] = entries;
    SendMessageW(native, WM_SETREDRAW, FALSE, 0);
    SendMessageW(native, LB_RESETCONTENT, 0, 0);
    for (const DirectoryEntry& entry : kept)
        SendMessageW(native, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fromUtf8(entry.name).c_str()));
    SendMessageW(native, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    SendMessageW(native, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(native, nullptr, TRUE);
}

void NativeForm::setWindowIcon(IconHandle icon)
{
    // Handed out by icon(): one of the program's icons, known by its small image.
    for (int id = static_cast<int>(IconId::None) + 1; id <= static_cast<int>(IconId::Product); ++id) {
        const IconPair pair(static_cast<IconId>(id));
        if (pair.smallIcon() && toIconHandle(pair.smallIcon()) == icon) {
            pair.applyTo(hwnd());
            current_ = pair.smallIcon();
            return;
        }
    }
}

void NativeForm::setMinimized(bool minimized)
{
    minimized_ = minimized;
    // A hidden window changes state when it is shown again (setVisible); showing it now would
    // bring it back on screen before its time.
    if (!IsWindowVisible(hwnd()))
        return;
    if (minimized != (IsIconic(hwnd()) != FALSE))
        ShowWindow(hwnd(), minimized ? SW_MINIMIZE : SW_RESTORE);
}

void NativeForm::setVisible(bool visible)
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

Command NativeForm::popup()
{
    if (!popup_.get())
        return Command::None;
    POINT at{};
    GetCursorPos(&at);
    // The menu closes on a click elsewhere only if its window is in the foreground; the message
    // posted afterwards lets the menu finish before the next one can open.
    SetForegroundWindow(hwnd());
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(popup_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                       at.y, 0, hwnd(), nullptr));
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    return menuCommands_.command(chosen).value_or(Command::None);
}

LRESULT NativeForm::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        events_.onNotificationAreaCreated();
        return 0;
    }
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd(), focus))
                lastFocus_ = focus;
        } else if (!HIWORD(wParam)) { // not while minimised
            HWND target = lastFocus_ && IsChild(hwnd(), lastFocus_) && IsWindowEnabled(lastFocus_)
                              ? lastFocus_
                              : controls_[initialFocus(layout_)];
            if (target) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_ && IsChild(hwnd(), lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        // Per-monitor aware: the window moved to a screen of another density. The system's
        // suggested rectangle keeps it under the mouse; the controls follow their layout.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        controls_.rescale(LOWORD(wParam));
        return 0;
    }
    case DM_GETDEFID: {
        // The dialog manager asks which button Enter presses; with none it sends IDOK.
        const ControlLayout* focused = controls_.layoutOf(GetFocus());
        if (const int id = controls_.id(buttonForEnter(layout_, focused ? focused->name : std::string_view{})))
            return MAKELRESULT(id, DC_HASDEFID);
        break;
    }
    case WM_COMMAND:
        onCommand(wParam, lParam); // may discard this window: the last step
        return 0;
    case WM_CLOSE:
        events_.onClose(); // may discard this window: the last step
        return 0;
    case WM_MOUSEMOVE:
        if (!layout_.ownsTrayIcon)
            break;
        // Real movement over the client area and the notification area's callback alike: the
        // callback's mouse message code travels where the horizontal coordinate is.
        events_.onMouseMove(GET_X_LPARAM(lParam) * controls_.twipsPerPixel());
        return 0;
    case WM_ENDSESSION:
        if (wParam && layout_.ownsTrayIcon)
            events_.onClose();
        return 0;
    case WM_DRAWITEM:
        drawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const ControlLayout* control = controls_.layoutOf(reinterpret_cast<HWND>(lParam));
        const bool black = control && control->traits.black;
        if (!black && !classicFace_)
            break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, black ? RGB(0, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, classicFace_ ? kClassicFace : GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(classicFace_ ? classicFace_.get() : GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ERASEBKGND: {
        RECT client{};
        if (!classicFace_ || !GetClientRect(hwnd(), &client))
            break;
        FillRect(reinterpret_cast<HDC>(wParam), &client, classicFace_.get());
        return TRUE;
    }
    case WM_PAINT:
        if (layout_.lines.empty())
            break;
        paintLines();
        return 0;
    default:
        break;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

void NativeForm::onCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    // Esc, which the dialog manager sends as IDCANCEL, presses the cancel button, if any.
    if (id == IDCANCEL && lParam == 0) {
        if (HWND button = controls_[layout_.keys.cancelButton])
            SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        return;
    }
    // Enter in a list opens the highlighted entry, as a double-click does: with no default
    // button, the dialog manager sends it as IDOK.
    const ControlLayout* focused = controls_.layoutOf(GetFocus());
    if (id == IDOK && focused && focused->kind == ControlKind::DirectoryList) {
        open(*focused);
        return;
    }
    if (lParam == 0) {
        if (code == 0)
            if (const auto command = menuCommands_.command(static_cast<UINT>(id)))
                events_.onCommand(*command);
        return;
    }
    const ControlLayout* control = controls_.layoutOf(id);
    if (!control)
        return;
    if (control->kind == ControlKind::DirectoryList && code == LBN_DBLCLK)
        open(*control);
    else if (control->kind == ControlKind::RichText && code == EN_CHANGE && !settingText_)
        events_.onEdit(ControlId{control->name});
    else if (control->kind == ControlKind::Button && code == BN_CLICKED)
        events_.onClick(ControlId{control->name});
}

void NativeForm::open(const ControlLayout& list)
{
    const LRESULT index = SendMessageW(controls_[list.name], LB_GETCURSEL, 0, 0);
    if (index != LB_ERR)
        events_.onOpen(ControlId{list.name}, static_cast<std::size_t>(index));
}

// An entry indented by its depth; the path and its ancestors, the directories the list stands
// in, are marked open.
void NativeForm::drawEntry(const DRAWITEMSTRUCT& item) const
{
    const auto kept = entries_.find(item.hwndItem);
    if (kept == entries_.end() || item.itemID >= kept->second.size())
        return;
    const DirectoryEntry& entry = kept->second[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT place = item.rcItem;
    place.left += 4 + entry.depth * kIndent;
    const std::wstring shown = fromUtf8((entry.open ? "- " : "+ ") + entry.name);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &place,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item.rcItem);
}

// Each etched line a band of its width in pixels from its top edge down, in the order listed so
// that a later one lies over an earlier one.
void NativeForm::paintLines()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd(), &paint);
    const double twipsPerPixel = controls_.twipsPerPixel();
    for (const EtchedLine& line : layout_.lines) {
        const int left = twipsToPixels(line.x1, twipsPerPixel);
        const int top = twipsToPixels(line.y, twipsPerPixel);
        const RECT band{left, top, twipsToPixels(line.x2, twipsPerPixel), top + line.widthPixels};
        HBRUSH brush = CreateSolidBrush(RGB((line.rgb >> 16) & 0xFF, (line.rgb >> 8) & 0xFF, line.rgb & 0xFF));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    EndPaint(hwnd(), &paint);
}

} // namespace latchsweep::win32
