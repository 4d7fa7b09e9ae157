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

class TrayPort {
public:
    virtual ~TrayPort() = default;
    // Shell_NotifyIconA's contract: add shows the icon for (hWnd, uID); modify replaces icon
    // and tip of a registered pair; delete removes it. False when the platform refused.
    virtual bool notify(std::uint32_t message, const NotifyIconData& record) = 0;
    // Whether a notification area is there to show icons at all.
    [[nodiscard]] virtual bool available() const = 0;
};

} // namespace latchsweep
