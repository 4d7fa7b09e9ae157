#include "win32/app/controls.h"

#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "win32/app/handles.h"
#include "win32/app/icons.h"
#include "win32/app/native_window.h"
#include "win32/app/rich_text.h"

namespace latchsweep::win32 {

double screenTwipsPerPixel()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return twipsPerPixelForDpi(dpi);
}

namespace {

RECT toPixels(const TwipsRect& rect, double twipsPerPixel)
{
    const int left = twipsToPixels(rect.left, twipsPerPixel);
    const int top = twipsToPixels(rect.top, twipsPerPixel);
    const int width = twipsToPixels(rect.width, twipsPerPixel);
    const int height = twipsToPixels(rect.height, twipsPerPixel);
    return {left, top, left + width, top + height};
}

struct NativeKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeKind nativeKind(const WindowLayout& windowLayout, const ControlLayout& control)
{
    const ControlTraits& traits = control.traits;
    switch (control.kind) {
    case ControlKind::Frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Button:
        return {L"BUTTON",
                static_cast<DWORD>(control.name == windowLayout.keys.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                0};
    case ControlKind::Label:
        return {L"STATIC", SS_LEFT, 0};
    case ControlKind::RichText: {
        // A box's standard edge on Windows is the sunken one. A box without an edge reads like a
        // label, so it scrolls no more than a label does.
        DWORD style = ES_AUTOHSCROLL | (traits.readOnly ? ES_READONLY : 0u);
        if (traits.multiLine)
            style |= ES_MULTILINE | (traits.border == Border::None ? 0u : ES_AUTOVSCROLL | WS_VSCROLL);
        return {kRichEditClass, style, traits.border == Border::None ? 0u : WS_EX_CLIENTEDGE};
    }
    case ControlKind::DirectoryList:
        // Drawn by its window, each entry indented by its depth.
        return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL,
                WS_EX_CLIENTEDGE};
    case ControlKind::Picture:
        return {L"STATIC", SS_ICON, 0};
    case ControlKind::Line:
        return {L"STATIC", SS_GRAYRECT, 0};
    }
    return {L"STATIC", 0, 0};
}

} // namespace

Controls::~Controls()
{
    // The controls go with their window; the fonts they use must outlive them.
    for (const Entry& entry : entries_)
        if (IsWindow(entry.window))
            SendMessageW(entry.window, WM_SETFONT, 0, FALSE);
}

HFONT Controls::font(const Font& layoutFont, int dpi)
{
    if (layoutFont.family.empty() && layoutFont.points <= 0)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW logFont{};
    logFont.lfHeight = -static_cast<LONG>(std::lround((layoutFont.points > 0 ? layoutFont.points : 8.25) * dpi / 72.0));
    logFont.lfWeight = layoutFont.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = layoutFont.italic ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    const std::wstring family =
        fromUtf8(layoutFont.family.empty() ? std::string_view("MS Shell Dlg") : layoutFont.family);
    lstrcpynW(logFont.lfFaceName, family.c_str(), LF_FACESIZE);
    HFONT created = CreateFontIndirectW(&logFont);
    if (!created)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace_back(created);
    return created;
}

RECT Controls::placeOf(const ControlLayout& control) const
{
    RECT place = toPixels(control.rect, twipsPerPixel_);
    const ControlLayout* frame = control.parent.empty() ? nullptr : findControl(*windowLayout_, control.parent);
    if (frame) {
        const RECT origin = toPixels(frame->rect, twipsPerPixel_);
        OffsetRect(&place, origin.left, origin.top);
    }
    return place;
}

void Controls::build(HWND window, const WindowLayout& windowLayout, double twipsPerPixel)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    window_ = window;
    windowLayout_ = &windowLayout;
    twipsPerPixel_ = twipsPerPixel;
    const int dpi = static_cast<int>(std::lround(1440.0 / twipsPerPixel));
    for (const std::size_t index : creationOrder(windowLayout)) {
        const ControlLayout& control = windowLayout.controls[index];
        NativeKind kind = nativeKind(windowLayout, control);
        // Tab visits the tab stops in the order of creation, which is the core's focus order.
        if (takesFocus(control.kind) && control.tabIndex >= 0)
            kind.style |= WS_TABSTOP;
        const bool richText = control.kind == ControlKind::RichText;
        if (richText)
            loadRichEditLibrary();
        const RECT place = placeOf(control);
        const int id = kFirstControlId + static_cast<int>(index);
        HWND created = CreateWindowExW(kind.exStyle, kind.className, richText ? L"" : fromUtf8(control.text).c_str(),
                                       WS_CHILD | WS_VISIBLE | kind.style, place.left, place.top,
                                       place.right - place.left, place.bottom - place.top, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!created)
            continue;
        const HFONT used = font(control.font, dpi);
        SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(used), FALSE);
        if (richText) {
            // The font set above is the box's default; the initial text takes it, as plain text.
            setPlainTextContent(created, control.text);
            // The user's edits are reported; the initial text above is the window's own.
            if (!control.traits.readOnly)
                SendMessageW(created, EM_SETEVENTMASK, 0, ENM_CHANGE);
            if (control.traits.onButtonFace)
                SendMessageW(created, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
        }
        if (control.traits.picture != IconId::None)
            SendMessageW(created, STM_SETICON, reinterpret_cast<WPARAM>(IconPair(control.traits.picture).bigIcon()), 0);
        entries_.push_back({created, &control, used});
    }
}

void Controls::rescale(int dpi)
{
    if (!windowLayout_ || dpi <= 0)
        return;
    twipsPerPixel_ = twipsPerPixelForDpi(dpi);
    for (Entry& entry : entries_) {
        const RECT place = placeOf(*entry.controlLayout);
        SetWindowPos(entry.window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        // A rich-text box's font is the format of its whole text, which the box scales itself.
        if (entry.controlLayout->kind == ControlKind::RichText)
            continue;
        const HFONT previous = std::exchange(entry.font, font(entry.controlLayout->font, dpi));
        SendMessageW(entry.window, WM_SETFONT, reinterpret_cast<WPARAM>(entry.font), TRUE);
        const auto made = std::ranges::find_if(fonts_, [&](const OwnedFont& owned) { return owned.get() == previous; });
        if (made != fonts_.end())
            fonts_.erase(made);
    }
    fitClientArea(window_, twipsToPixels(windowLayout_->clientWidth, twipsPerPixel_),
                  twipsToPixels(windowLayout_->clientHeight, twipsPerPixel_));
}

HWND Controls::operator[](std::string_view name) const
{
    const auto found = std::ranges::find(entries_, name, [](const Entry& entry) { return entry.controlLayout->name; });
    return found == entries_.end() ? nullptr : found->window;
}

const ControlLayout* Controls::layoutOf(HWND control) const
{
    const auto found = std::ranges::find(entries_, control, &Entry::window);
    return found == entries_.end() ? nullptr : found->controlLayout;
}

} // namespace latchsweep::win32
