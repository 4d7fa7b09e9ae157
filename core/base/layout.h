#pragma once

// Window and control geometry as the program defines it: twips (1440 to the inch), left, top,
// width x height, each control relative to its container. Front ends convert with the
// screen's twips per pixel.

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/menu.h"

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

// The program's pictures: window icons, the animation's frames, the about box's picture.
enum class IconId { None, Magnet, Frame1, Frame2, Binoculars, Wastebin, QuestionMark, InfoSign, Product };

enum class ControlKind { Frame, Button, Label, RichText, DirectoryList, Picture, Line };

// A text box's edge: the platform's standard, none at all (it reads like a label), or sunken.
enum class Border { Standard, None, Sunken };

// What sets a control apart from the standard look and behaviour of its kind.
struct ControlTraits {
    bool multiLine = false; // a text box of several lines, with a vertical scroll bar where it is editable
    bool readOnly = false;  // a text box the user reads only
    Border border = Border::Standard;
    bool onButtonFace = false; // a text box on the window's face colour instead of a box's
    bool black = false;        // text in black rather than the desktop's text colour
    IconId picture = IconId::None;
};

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
    ControlTraits traits = {};
};

// A line drawn on a window's face, in twips but for its width in pixels, drawn in the order
// listed so that a later line lies over an earlier one (the about box's etched separators).
struct EtchedLine {
    int index;
    int x1;
    int x2;
    int y;
    int widthPixels;
    std::uint32_t rgb; // 0xRRGGBB
};

// The buttons the keyboard presses wherever the focus is: Enter the default button, Esc the
// cancel button. Empty: that key presses nothing in the window.
struct KeyRoles {
    std::string_view defaultButton;
    std::string_view cancelButton;
};

// Where a window first comes on screen.
enum class Placement {
    System,      // where the window system puts a new window
    Centred,     // its frame centred on the primary screen
    FixedClient, // its client area at the layout's clientOrigin, kept inside the available area
};

// A window's frame.
enum class WindowFrame {
    Single, // fixed single border, a close box, no minimise or maximise box; a task-bar button
    Dialog, // fixed dialog frame, a close box; no task-bar button
    None,   // never shown: it only carries a pop-up menu
};

struct WindowLayout {
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    std::span<const ControlLayout> controls = {};
    KeyRoles keys = {};
    Placement placement = Placement::System;
    int clientLeft = 0; // twips from the screen's top-left corner, for Placement::FixedClient
    int clientTop = 0;
    WindowFrame frame = WindowFrame::Single;
    IconId icon = IconId::None;
    std::span<const MenuItem> menuBar = {};
    const MenuItem* popup = nullptr; // the menu the window pops up (WindowView::popup)
    std::span<const EtchedLine> lines = {};
    // The window keeps the light dialog face its black labels and etched lines are drawn for,
    // whatever the desktop's colours.
    bool classicFace = false;
    // The window the notification-area icon belongs to: every mouse move over its face is its
    // event, as the icon's callback is, and the notification area's return is told to it.
    bool ownsTrayIcon = false;
};

// The control of that name in the window's layout, or null.
const ControlLayout* findControl(const WindowLayout& windowLayout, std::string_view name);

// Where a window of Placement::FixedClient has its client area on the screen, and its size.
inline TwipsRect fixedClientArea(const WindowLayout& windowLayout)
{
    return {windowLayout.clientLeft, windowLayout.clientTop, windowLayout.clientWidth, windowLayout.clientHeight};
}

// Whether a control of this kind takes the keyboard focus, as the tab key moves it.
bool takesFocus(ControlKind kind);

// The controls the tab key visits, by their index in the layout: those that take the focus and
// have a tab index, in its order (ties in layout order). The first of them has the focus when
// the window opens.
std::vector<std::size_t> focusOrder(const WindowLayout& windowLayout);

// The control that has the focus when the window opens; empty if none takes it.
std::string_view initialFocus(const WindowLayout& windowLayout);

// The button Enter presses: the window's default button, or else the button that has the focus,
// as in the platform's dialogs; empty when neither. `focused` names the control with the focus.
std::string_view buttonForEnter(const WindowLayout& windowLayout, std::string_view focused);

// The order in which to create a window's controls, by their index in the layout, for a window
// system whose stacking order is its tab order: frames first, below what they contain; then the
// controls by tab index; those without one last, in layout order.
std::vector<std::size_t> creationOrder(const WindowLayout& windowLayout);

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
