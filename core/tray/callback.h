#pragma once

#include <cstdint>
#include <optional>

namespace latchsweep {

// The platform's mouse message codes, as the notification area reports activity over an icon.
// The main window acts on two of them; a front end delivers the others it can tell apart so
// that they pass through the same decoding.
inline constexpr std::int32_t kMouseMove = 512;             // WM_MOUSEMOVE
inline constexpr std::int32_t kLeftButtonDown = 513;        // WM_LBUTTONDOWN
inline constexpr std::int32_t kLeftButtonUp = 514;          // WM_LBUTTONUP
inline constexpr std::int32_t kLeftButtonDoubleClick = 515; // WM_LBUTTONDBLCLK: restore the window
inline constexpr std::int32_t kRightButtonDown = 516;       // WM_RBUTTONDOWN
inline constexpr std::int32_t kRightButtonUp = 517;         // WM_RBUTTONUP: open the pop-up
inline constexpr std::int32_t kMiddleButtonDown = 519;      // WM_MBUTTONDOWN

// The mouse message code carried by a mouse-move event of the main window: X in twips over the
// screen's twips per pixel, rounded to the nearest whole number with ties to even. Nothing when
// the quotient does not fit a 32-bit signed number (or the scale is not positive): the event is
// then dropped rather than acted on with a stale code.
std::optional<std::int32_t> decodeTrayMessage(double xTwips, double twipsPerPixel);

} // namespace latchsweep
