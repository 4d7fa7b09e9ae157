#pragma once

#include <array>
#include <cstdint>

namespace latchsweep {

using IconHandle = std::uint32_t;
using WindowHandle = std::uint32_t;

// The notification-icon record in its first, 88-byte form of the 32-bit platform
// (NOTIFYICONDATAA without any later field).
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::int32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    std::array<char, 64> szTip{};
};

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;

// Which fields of the record an add or modify sets (uFlags): the callback message, the icon,
// the tip. The program always sets all three (Module1::kFlags).
inline constexpr std::uint32_t kNifMessage = 1; // NIF_MESSAGE
inline constexpr std::uint32_t kNifIcon = 2;    // NIF_ICON
inline constexpr std::uint32_t kNifTip = 4;     // NIF_TIP

// The notification area. On 32-bit Windows notify() is Shell_NotifyIconA itself; elsewhere a
// front end keeps its four behaviours:
// - one icon per (hWnd, uID);
// - add shows hIcon with the tip up to its zero byte, and fails for a pair already registered;
// - modify replaces icon and tip of a registered pair, and fails for any other;
// - delete removes a registered pair, and fails for any other;
// and delivers mouse activity over an icon to its window as uCallbackMessage carrying the
// mouse message code (see tray/callback.h).
class TrayPort {
public:
    virtual ~TrayPort() = default;
    // False when the platform refused. The tray operations never act on the answer.
    virtual bool notify(std::uint32_t message, const NotifyIconData& record) = 0;
    // Whether a notification area is on the desktop right now, able to show icons.
    [[nodiscard]] virtual bool available() const = 0;
};

} // namespace latchsweep
