#include "core/tray/animation.h"

#include <limits>

namespace latchsweep {

int Animation::step(std::size_t frameCount)
{
    if (Counter == std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(6, "Overflow");
    ++Counter;
    const int frame = Counter;
    if (frame < 1 || static_cast<std::size_t>(frame) > frameCount)
        throw RuntimeError(35600, "Index out of bounds");
    // The frame is chosen before the wrap-around test, so the last frame is shown too.
    if (frame > static_cast<int>(frameCount) - 1)
        Counter = 0;
    return frame;
}

} // namespace latchsweep
