#pragma once

#include "core/base/layout.h"

namespace latchsweep {

// A rectangle on the screen, in the front end's pixels.
using ScreenRect = Rect;

// Where a window that has a fixed screen position (the help window, the about box) goes: at that
// position, unless its frame would leave the available area (the screen without its task bars),
// as a large desktop scale makes it do; then it is moved back inside, no further than needed.
// A frame larger than the area keeps its top-left corner inside, so that its title bar and its
// first controls can still be reached.
ScreenRect keepInside(const ScreenRect& frame, const ScreenRect& available);

} // namespace latchsweep
