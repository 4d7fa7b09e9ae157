#include "core/tray/callback.h"

#include <cmath>
#include <limits>

namespace latchsweep {

std::optional<std::int32_t> decodeTrayMessage(double xTwips, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0))
        return std::nullopt;
    const double quotient = xTwips / twipsPerPixel;
    if (!std::isfinite(quotient))
        return std::nullopt;
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double rounded = std::nearbyint(quotient);
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace latchsweep
