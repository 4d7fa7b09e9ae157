#pragma once

#include <optional>

#include "core/base/layout.h"

namespace latchsweep {

// A rectangle on the screen, in the front end's pixels.
using ScreenRect = Rect;

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The screen a window first comes on: the primary screen, whole, and its available area (the
// screen without its task bars), in pixels of the window system's desktop.
struct ScreenAreas {
    ScreenRect screen;
    ScreenRect available;
};

// Where a window that has a fixed screen position (the help window, the about box) goes: at that
// position, unless its frame would leave the available area, as a large desktop scale makes it
// do; then it is moved back inside, no further than needed. A frame larger than the area keeps
// its top-left corner inside, so that its title bar and its first controls can still be reached.
ScreenRect keepInside(const ScreenRect& frame, const ScreenRect& available);

// The top-left corner of a window's frame when the window first comes on screen, as its layout's
// placement says; nothing where the window system places it. `frame` is the frame's size (its
// left and top unused) and `clientInFrame` where its client area starts within it: a front end
// that cannot know the frame before the window is shown gives the client area for both.
std::optional<ScreenPoint> firstPlace(const WindowLayout& windowLayout, const ScreenRect& frame,
                                      ScreenPoint clientInFrame, const ScreenAreas& areas, double twipsPerPixel);

} // namespace latchsweep
