#pragma once

// Window and control geometry as the program defines it: twips (1440 to the inch), left, top,
// width x height, each control relative to its container. Front ends convert with the
// screen's twips per pixel.

#include <cmath>
#include <span>
#include <string>
#include <string_view>

namespace latchsweep {

// A rectangle: left, top, width x height. In a layout its unit is the twip; on the screen, the
// front end's pixel.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
using TwipsRect = Rect;

struct Font {
    std::string_view family; // empty: the toolkit's default dialog font
    double points = 0;
    bool bold = false;
    bool italic = false;
};

// The font the program's text boxes are designed in (the directory and delay boxes, the help
// text): one definition for every window that has such a box.
inline constexpr Font kDialogFont{"MS Sans Serif", 8.5};

enum class ControlKind { Frame, Button, Label, RichText, DirectoryList, Picture, Line };

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    TwipsRect rect;
    std::string_view text;
    std::string_view parent = {}; // the containing frame; empty for the window itself
    Font font = {};
    int tabIndex = -1;
    // For a control without a caption of its own (a box, a list, a picture): the label beside it
    // whose text names it for assistive technology, or the window's own name when its title does.
    std::string_view labelledBy = {};
};

struct WindowLayout {
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    std::span<const ControlLayout> controls;
};

// A caption as a screen reader speaks it: the access-key marker "&" dropped, "&&" read as "&".
std::string withoutAccessKey(std::string_view caption);

// The name assistive technology announces for a control: its caption, or the text of what
// labels it. Empty for a control nothing names (an outline without a caption), which assistive
// technology then passes over; a box's own text is its value, never its name.
std::string accessibleName(const WindowLayout& windowLayout, const ControlLayout& control);

inline constexpr double kDefaultTwipsPerPixel = 15.0;

inline double twipsPerPixelForDpi(double dpi) { return dpi > 0 ? 1440.0 / dpi : kDefaultTwipsPerPixel; }

inline int twipsToPixels(int twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace latchsweep
