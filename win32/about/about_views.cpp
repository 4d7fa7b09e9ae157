#include "win32/about/about_views.h"

#include <algorithm>
#include <string>

#include "win32/app/handles.h"
#include "win32/resource_ids.h"

namespace latchsweep::win32 {
namespace {

// Fixed dialog frame: not resizable, no minimise or maximise box, a close box.
constexpr DWORD kDialogFrame = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kDialogFrameEx = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// A fixed dialog frame around a client area of the layout's size, owned by `owner`.
WindowArgs fixedWindowArgs(const char* className, const WindowLayout& layout, double twipsPerPixel, HWND owner)
{
    WindowArgs args;
    args.className = className;
    args.caption = std::string(layout.caption);
    args.style = kDialogFrame;
    args.exStyle = kDialogFrameEx;
    args.parent = owner;
    args.clientWidth = twipsToPixels(layout.clientWidth, twipsPerPixel);
    args.clientHeight = twipsToPixels(layout.clientHeight, twipsPerPixel);
    return args;
}

// helptxt: several lines with a three-dimensional border, for reading only.
constexpr ControlStyle kHelpStyles[] = {
    {"helptxt", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL, WS_EX_CLIENTEDGE}};

// The default button is drawn as such.
const ControlStyle kAboutStyles[] = {{frmAboutLayout().keys.defaultButton, BS_DEFPUSHBUTTON, 0}};

COLORREF toColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

} // namespace

HelpWindow::HelpWindow(frmHelp& presenter, HWND owner)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      icon_(IDI_QUESTION_MARK)
{
    const WindowLayout& layout = frmHelpLayout();
    create(fixedWindowArgs(kClassName, layout, twipsPerPixel_, owner));
    controls_.build(hwnd(), layout, twipsPerPixel_, kHelpStyles);
    placeOnFirstShowing(hwnd(), layout, twipsPerPixel_);
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
        if (HIWORD(wParam) == BN_CLICKED)
            pressButton(presenter_, controls_.nameOf(LOWORD(wParam))); // may discard this window: the last step
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
    create(fixedWindowArgs(kClassName, layout, twipsPerPixel_, owner));
    controls_.build(hwnd(), layout, twipsPerPixel_, kAboutStyles);
    placeOnFirstShowing(hwnd(), layout, twipsPerPixel_);
    icon_.applyTo(hwnd());
    SendMessageW(controls_["picIcon"], STM_SETICON, reinterpret_cast<WPARAM>(picture_.bigIcon()), 0);
}

LRESULT AboutWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            pressButton(presenter_, controls_.nameOf(LOWORD(wParam))); // may discard this window: the last step
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
