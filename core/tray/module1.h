#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/base/tray_port.h"
#include "core/tray/callback.h"

namespace latchsweep {

// The one notification-icon record and the three operations that fill it and hand it to the
// platform. The operations never act on the platform's answer: a failed call is silent and
// nothing is retried.
class Module1 {
public:
    static constexpr std::uint32_t kRecordSize = 88;
    // The flags of every add and modify, 7: front ends that keep the record's behaviours
    // themselves compare against this value rather than a number of their own.
    static constexpr std::uint32_t kFlags = kNifMessage | kNifIcon | kNifTip;
    // The icon's activity comes back as a mouse-move of the main window.
    static constexpr auto kCallbackMessage = static_cast<std::uint32_t>(kMouseMove);

    explicit Module1(TrayPort& port)
        : port_(port)
    {}

    // Fill every field, in the record's order, then NIM_ADD / NIM_MODIFY.
    void AddTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);
    void ModifyTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);
    // Sets only uID; cbSize, hWnd and the rest stay as the last add or modify left them.
    void DeleteTrayIcon(std::int32_t id);

    [[nodiscard]] const NotifyIconData& iconData() const { return IconData; }

    // Whether the platform's latest answer about the icon says it is on show: the last modify, or
    // an add, succeeded and no delete has succeeded since (a refused add changes nothing). Minimize asks, so that it
    // never hides the window while nothing on the desktop could bring it back.
    [[nodiscard]] bool iconShown() const { return shown_; }

private:
    TrayPort& port_;
    NotifyIconData IconData{};
    bool shown_ = false;
};

// The longest tip the field holds together with its zero byte.
inline constexpr std::size_t kTipLimit = 63;

// The tip text, one zero byte, then spaces up to 64 bytes. A longer text is cut after its 63rd
// character so that the zero byte is always there: the platform reads the field up to it.
std::array<char, 64> shapeTip(std::string_view tip);

// The record as add and modify fill it: every field, in the platform's order.
NotifyIconData iconRecord(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip);

// The record's 88 bytes as the 32-bit platform lays them out: little-endian, 32-bit handles.
std::array<std::uint8_t, 88> serialize(const NotifyIconData& record);

} // namespace latchsweep
