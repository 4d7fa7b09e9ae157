#pragma once

#include <cstddef>
#include <cstdint>

#include "core/base/runtime_error.h"

namespace latchsweep {

// The animation's frame counter: 16-bit signed, stepping 1, 2, ..., N, then back to 0.
class Animation {
public:
    // Steps Counter and returns the number (from 1) of the frame to show now. Throws
    // RuntimeError 6 (overflow) at the 16-bit bound and 35600 when the frame does not exist.
    int step(std::size_t frameCount);

    std::int16_t Counter = 0;
};

} // namespace latchsweep
