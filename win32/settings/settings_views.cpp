#include "win32/settings/settings_views.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "win32/app/handles.h"
#include "win32/app/rich_text.h"
#include "win32/resource_ids.h"

namespace latchsweep::win32 {
namespace {

constexpr DWORD kFixedSingle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

WindowArgs settingsWindowArgs(const char* className, const WindowLayout& layout, double twipsPerPixel)
{
    WindowArgs args;
    args.className = className;
    args.caption = std::string(layout.caption);
    args.style = kFixedSingle;
    args.clientWidth = twipsToPixels(layout.clientWidth, twipsPerPixel);
    args.clientHeight = twipsToPixels(layout.clientHeight, twipsPerPixel);
    return args;
}

// The pixels one level of the directory tree is indented by.
constexpr int kIndent = 12;

// curmm2dir reads like a label: flat, no border, on the button face; it shows every line of the
// file it displays. The list draws its entries indented as a tree.
constexpr ControlStyle kForm2Styles[] = {
    {"curmm2dir", ES_MULTILINE | ES_READONLY, 0},
    {"MM2Dir", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0},
};

// text1 has a sunken border; it stays a single line of free text.
constexpr ControlStyle kForm3Styles[] = {{"text1", 0, WS_EX_CLIENTEDGE}};

} // namespace

Form2Window::Form2Window(Form2& presenter)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      icon_(IDI_BINOCULARS)
{
    const WindowLayout& layout = form2Layout();
    create(settingsWindowArgs(kClassName, layout, twipsPerPixel_));
    controls_.build(hwnd(), layout, twipsPerPixel_, kForm2Styles);
    icon_.applyTo(hwnd());
    SendMessageW(controls_["curmm2dir"], EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
}

void Form2Window::showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    HWND list = controls_["MM2Dir"];
    entries_ = entries;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const DirectoryEntry& entry : entries_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fromUtf8(entry.name).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void Form2Window::setCurmm2dir(const std::string& text)
{
    // As plain text: the file holds a path, whatever it looks like.
    setPlainTextContent(controls_["curmm2dir"], text);
}

LRESULT Form2Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam);
        return 0;
    case WM_DRAWITEM:
        drawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:
        presenter_.onClose(); // discards this window: the last thing done here
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

void Form2Window::onCommand(WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND list = controls_["MM2Dir"];
    // Enter in the list opens the highlighted entry, as a double-click does; the dialog manager
    // turns it into IDOK since the window has no default button.
    const bool enterInList = id == IDOK && GetFocus() == list;
    if ((id == controls_.id("MM2Dir") && code == LBN_DBLCLK) || enterInList) {
        const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (index != LB_ERR)
            presenter_.openDirectory(static_cast<std::size_t>(index));
        return;
    }
    if (code == BN_CLICKED)
        pressButton(presenter_, controls_.nameOf(id)); // may discard this window: the last step
}

// An entry indented by its depth; the path and its ancestors, the directories the list stands
// in, are marked open.
void Form2Window::drawEntry(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size())
        return;
    const DirectoryEntry& entry = entries_[item.itemID];
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

Form3Window::Form3Window(Form3& presenter)
    : presenter_(presenter),
      twipsPerPixel_(screenTwipsPerPixel()),
      icon_(IDI_WASTEBIN)
{
    const WindowLayout& layout = form3Layout();
    create(settingsWindowArgs(kClassName, layout, twipsPerPixel_));
    controls_.build(hwnd(), layout, twipsPerPixel_, kForm3Styles);
    icon_.applyTo(hwnd());
}

std::string Form3Window::text1() const { return windowText(controls_["text1"]); }

bool Form3Window::text1Edited() const { return SendMessageW(controls_["text1"], EM_GETMODIFY, 0, 0) != 0; }

void Form3Window::setText1(const std::string& text)
{
    HWND box = controls_["text1"];
    setPlainTextContent(box, text);
    SendMessageW(box, EM_SETMODIFY, FALSE, 0);
}

LRESULT Form3Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            pressButton(presenter_, controls_.nameOf(LOWORD(wParam))); // may discard this window: the last step
        return 0;
    case WM_CLOSE:
        presenter_.onClose(); // discards this window: the last thing done here
        return 0;
    default:
        return NativeWindow::onMessage(message, wParam, lParam);
    }
}

std::unique_ptr<Form2View> makeForm2View(Form2& presenter) { return std::make_unique<Form2Window>(presenter); }
std::unique_ptr<Form3View> makeForm3View(Form3& presenter) { return std::make_unique<Form3Window>(presenter); }

} // namespace latchsweep::win32
