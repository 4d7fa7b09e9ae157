#include "core/base/placement.h"

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

std::optional<ScreenPoint> firstPlace(const WindowLayout& windowLayout, const ScreenRect& frame,
                                      ScreenPoint clientInFrame, const ScreenAreas& areas, double twipsPerPixel)
{
    const ScreenRect& screen = areas.screen;
    switch (windowLayout.placement) {
    case Placement::System:
        return std::nullopt;
    case Placement::Centred:
        return ScreenPoint{screen.left + (screen.width - frame.width) / 2,
                           screen.top + (screen.height - frame.height) / 2};
    case Placement::FixedClient: {
        const ScreenRect wanted{screen.left + twipsToPixels(windowLayout.clientLeft, twipsPerPixel) - clientInFrame.x,
                                screen.top + twipsToPixels(windowLayout.clientTop, twipsPerPixel) - clientInFrame.y,
                                frame.width, frame.height};
        const ScreenRect kept = keepInside(wanted, areas.available);
        return ScreenPoint{kept.left, kept.top};
    }
    }
    return std::nullopt;
}

} // namespace latchsweep
