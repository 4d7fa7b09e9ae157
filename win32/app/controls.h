#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/base/layout.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

// The screen's horizontal twips per pixel (15 at 96 dpi).
double screenTwipsPerPixel();

// The first control id: ids below it are the dialog manager's own (IDOK, IDCANCEL, ...), which
// Enter and Esc send without any control being pressed.
inline constexpr int kFirstControlId = 1000;

// The controls of one window, built from its layout: each a native control of its kind, as its
// traits make it, at its converted position in the window's client area (a frame's children are
// placed relative to the frame, as the layout gives them), created in tab order so that Tab
// follows the layout.
class Controls {
public:
    Controls() = default;
    ~Controls();

    Controls(const Controls&) = delete;
    Controls& operator=(const Controls&) = delete;

    void build(HWND window, const WindowLayout& windowLayout, double twipsPerPixel);

    // Places and sizes every control, and sizes the window's client area, for a screen of that
    // many dots per inch, with fonts made for it (a rich-text box keeps its own formatting).
    void rescale(int dpi);
    [[nodiscard]] double twipsPerPixel() const { return twipsPerPixel_; }

    // The control of that name, or null.
    [[nodiscard]] HWND operator[](std::string_view name) const;
    [[nodiscard]] int id(std::string_view name) const { return GetDlgCtrlID((*this)[name]); }
    // The layout of the control with that id or handle, or null.
    [[nodiscard]] const ControlLayout* layoutOf(int id) const { return layoutOf(GetDlgItem(window_, id)); }
    [[nodiscard]] const ControlLayout* layoutOf(HWND control) const;

private:
    struct Entry {
        HWND window;
        const ControlLayout* controlLayout;
        HFONT font;
    };
    using OwnedFont = Owned<HFONT, DeleteObject>;
    HFONT font(const Font& layoutFont, int dpi);
    [[nodiscard]] RECT placeOf(const ControlLayout& control) const;

    HWND window_ = nullptr;
    const WindowLayout* windowLayout_ = nullptr;
    double twipsPerPixel_ = kDefaultTwipsPerPixel;
    std::vector<Entry> entries_;
    std::vector<OwnedFont> fonts_; // those made here; the stock font is the system's
};

} // namespace latchsweep::win32
