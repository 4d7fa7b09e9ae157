#pragma once

#include <cstdint>
#include <optional>

namespace latchsweep {

inline constexpr std::int32_t kLeftButtonDoubleClick = 515; // WM_LBUTTONDBLCLK
inline constexpr std::int32_t kRightButtonUp = 517;         // WM_RBUTTONUP

// The mouse message code carried by a mouse-move event of the main window: X in twips over the
// screen's twips per pixel, rounded to the nearest whole number with ties to even. Nothing when
// the quotient does not fit a 32-bit signed number.
std::optional<std::int32_t> decodeTrayMessage(double xTwips, double twipsPerPixel);

} // namespace latchsweep
