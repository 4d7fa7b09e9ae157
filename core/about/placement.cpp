#include "core/about/placement.h"

#include <algorithm>

namespace latchsweep {

ScreenRect keepInside(const ScreenRect& frame, const ScreenRect& available)
{
    // The far edge first, then the near one, so that the near edge wins when nothing fits.
    const auto axis = [](int start, int length, int areaStart, int areaLength) {
        return std::max(std::min(start, areaStart + areaLength - length), areaStart);
    };
    return {axis(frame.left, frame.width, available.left, available.width),
            axis(frame.top, frame.height, available.top, available.height), frame.width, frame.height};
}

} // namespace latchsweep
