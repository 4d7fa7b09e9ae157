#include "win32/about/about_views.h"

#include <algorithm>
#include <string>

#include "core/about/placement.h"
#include "win32/app/handles.h"
#include "win32/resource_ids.h"

namespace latchsweep::win32 {
namespace {

// Fixed dialog frame: not resizable, no minimise or maximise box, a close box.
constexpr DWORD kDialogFrame = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kDialogFrameEx = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Where the client area goes: at its fixed place, unless the window's frame would then leave the
// work area of the monitor there (as at a large desktop scale); then moved back inside it.
POINT clientOriginOnScreen(const RECT& client)
{
    RECT frame = client;
    AdjustWindowRectEx(&frame, kDialogFrame, FALSE, kDialogFrameEx);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromPoint(POINT{client.left, client.top}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return {client.left, client.top};
    const RECT& work = monitor.rcWork;
    const ScreenRect placed = keepInside({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top},
                                         {work.left, work.top, work.right - work.left, work.bottom - work.top});
    return {client.left + placed.left - frame.left, client.top + placed.top - frame.top};
}

// A window whose client area sits at a fixed place on the screen, owned by `owner`.
WindowArgs fixedWindowArgs(const char* className, const WindowLayout& layout, const TwipsRect& clientArea,
                           double twipsPerPixel, HWND owner)
{
    WindowArgs args;
    args.className = className;
    args.caption = std::string(layout.caption);
    args.style = kDialogFrame;
    args.exStyle = kDialogFrameEx;
    args.parent = owner;
    const RECT area = toPixels(clientArea, twipsPerPixel);
    args.clientWidth = area.right - area.left;
    args.clientHeight = area.bottom - area.top;
    args.clientOrigin = clientOriginOnScreen(area);
    return args;
}

// helptxt: several lines with a three-dimensional border, for reading only.
constexpr ControlStyle kHelpStyles[] = {
    {"helptxt", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL, WS_EX_CLIENTEDGE}};

// cmdOK is the default button: Enter presses it wherever the focus is not on a button.
constexpr ControlStyle kAboutStyles[] = {{"cmdOK", BS_DEFPUSHBUTTON, 0}};

COLORREF toColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

} // namespace

HelpWindow::HelpWindow(frmHelp& presenter, HWND owner)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      icon_(IDI_QUESTION_MARK)
{
    const WindowLayout& layout = frmHelpLayout();
    create(fixedWindowArgs(kClassName, layout, frmHelpClientArea(), twipsPerPixel_, owner));
    controls_.build(hwnd(), layout, twipsPerPixel_, kHelpStyles);
    icon_.applyTo(hwnd());
    boxFormat_.cbSize = sizeof(boxFormat_);
    SendMessageW(controls_["helptxt"], EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&boxFormat_));
}

void HelpWindow::setHelpText(const std::string& text)
{
    HWND box = controls_["helptxt"];
    SendMessageW(box, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&boxFormat_));
    SendMessageW(box, EM_SETSEL, 0, -1);
    const std::wstring wide = fromUtf8(text);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(box, EM_SETSEL, 0, 0);
}

void HelpWindow::setHelpRuns(const std::vector<RtfRun>& runs)
{
    HWND box = controls_["helptxt"];
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    for (const RtfRun& run : runs) {
        SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        CHARFORMAT2W format = formatFor(run.format);
        SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        const std::wstring text = fromUtf8(run.text);
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

CHARFORMAT2W HelpWindow::formatFor(const RtfFormat& source) const
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask =
        CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_CHARSET | CFM_SIZE | CFM_COLOR;
    format.dwEffects = (source.bold ? CFE_BOLD : 0u) | (source.italic ? CFE_ITALIC : 0u) |
                       (source.underline ? CFE_UNDERLINE : 0u) | (source.strike ? CFE_STRIKEOUT : 0u);
    format.yHeight = source.halfPoints > 0 ? source.halfPoints * 10 : boxFormat_.yHeight; // twips
    if (source.family.empty()) {
        lstrcpynW(format.szFaceName, boxFormat_.szFaceName, LF_FACESIZE);
        format.bCharSet = boxFormat_.bCharSet;
    } else {
        lstrcpynW(format.szFaceName, fromUtf8(source.family).c_str(), LF_FACESIZE);
        format.bCharSet = DEFAULT_CHARSET;
    }
    if (source.colour)
        format.crTextColor = RGB(source.colour->red, source.colour->green, source.colour->blue);
    else
        format.dwEffects |= CFE_AUTOCOLOR;
    return format;
}

LRESULT HelpWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // Neither button is the window's default or cancel button: Enter and Esc (IDOK and
        // IDCANCEL from the dialog manager) do nothing.
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == controls_.id("OKButton"))
                presenter_.onOK(); // discards this window: the last thing done here
            else if (LOWORD(wParam) == controls_.id("CancelButton"))
                presenter_.onCancel();
        }
        return 0;
    case WM_CLOSE:
        presenter_.onCloseRequest();
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

AboutWindow::AboutWindow(frmAbout& presenter, HWND owner)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      icon_(IDI_INFO_SIGN),
      picture_(IDI_PRODUCT)
{
    const WindowLayout& layout = frmAboutLayout();
    create(fixedWindowArgs(kClassName, layout, frmAboutClientArea(), twipsPerPixel_, owner));
    controls_.build(hwnd(), layout, twipsPerPixel_, kAboutStyles);
    icon_.applyTo(hwnd());
    SendMessageW(controls_["picIcon"], STM_SETICON, reinterpret_cast<WPARAM>(picture_.bigIcon()), 0);
}

LRESULT AboutWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case DM_GETDEFID:
        return MAKELRESULT(controls_.id("cmdOK"), DC_HASDEFID);
    case WM_COMMAND:
        onCommand(wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        if (isBlackLabel(reinterpret_cast<HWND>(lParam))) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return NativeWindow::onMessage(message, wParam, lParam);
    case WM_PAINT:
        paintLines();
        return 0;
    case WM_CLOSE:
        presenter_.onCloseRequest();
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

void AboutWindow::onCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    // cmdOK is the default and the cancel button: Enter (IDOK) and Esc (IDCANCEL) press it.
    if (id == IDOK || id == IDCANCEL || (id == controls_.id("cmdOK") && HIWORD(wParam) == BN_CLICKED)) {
        presenter_.onOK(); // discards this window: the last thing done here
        return;
    }
    if (id == controls_.id("cmdSysInfo") && HIWORD(wParam) == BN_CLICKED)
        presenter_.onSysInfo();
}

bool AboutWindow::isBlackLabel(HWND control) const
{
    const auto labels = frmAboutBlackLabels();
    return std::any_of(labels.begin(), labels.end(), [&](std::string_view name) { return controls_[name] == control; });
}

// The etched separators: each line a band of its width in pixels from its top edge down, in the
// order listed so that the grey lies over the white.
void AboutWindow::paintLines()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd(), &paint);
    for (const EtchedLine& line : frmAboutLines()) {
        const int left = twipsToPixels(line.x1, controls_.twipsPerPixel());
        const int right = twipsToPixels(line.x2, controls_.twipsPerPixel());
        const int top = twipsToPixels(line.y, controls_.twipsPerPixel());
        const RECT band{left, top, right, top + line.widthPixels};
        HBRUSH brush = CreateSolidBrush(toColorRef(line.rgb));
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
    EndPaint(hwnd(), &paint);
}

std::unique_ptr<frmHelpView> makeHelpView(frmHelp& presenter, HWND owner)
{
    return std::make_unique<HelpWindow>(presenter, owner);
}

std::unique_ptr<frmAboutView> makeAboutView(frmAbout& presenter, HWND owner)
{
    return std::make_unique<AboutWindow>(presenter, owner);
}

} // namespace latchsweep::win32
