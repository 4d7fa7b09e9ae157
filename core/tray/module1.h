#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "tray/tray_port.h"

namespace latchsweep {

// The one notification-icon record and the three operations that fill it and hand it to the
// platform. The platform's answer is never examined.
class Module1 {
public:
    static constexpr std::uint32_t kRecordSize = 88;
    static constexpr std::uint32_t kFlags = 7;           // NIF_MESSAGE | NIF_ICON | NIF_TIP
    static constexpr std::uint32_t kCallbackMessage = 512; // WM_MOUSEMOVE

    explicit Module1(TrayPort& port) : port_(port) {}

    void AddTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);
    void ModifyTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);
    // Sets only uID; the rest stays as the last add or modify left it.
    void DeleteTrayIcon(std::int32_t id);

    [[nodiscard]] const NotifyIconData& iconData() const { return IconData; }

private:
    void fill(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);

    TrayPort& port_;
    NotifyIconData IconData{};
};

// The tip text, one zero byte, then spaces up to 64 bytes; cut after the 64th byte.
std::array<char, 64> shapeTip(std::string_view tip);

// The record's 88 bytes as the 32-bit platform lays them out: little-endian, 32-bit handles.
std::array<std::uint8_t, 88> serialize(const NotifyIconData& record);

} // namespace latchsweep
