#include "core/tray/module1.h"

#include <algorithm>

namespace latchsweep {

std::array<char, 64> shapeTip(std::string_view tip)
{
    std::array<char, 64> field{};
    field.fill(' ');
    const std::size_t count = std::min(tip.size(), kTipLimit);
    std::copy_n(tip.begin(), count, field.begin());
    field[count] = '\0';
    return field;
}

std::array<std::uint8_t, 88> serialize(const NotifyIconData& record)
{
    std::array<std::uint8_t, 88> bytes{};
    auto put = [&bytes](std::size_t offset, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(0, record.cbSize);
    put(4, record.hWnd);
    put(8, static_cast<std::uint32_t>(record.uID));
    put(12, record.uFlags);
    put(16, record.uCallbackMessage);
    put(20, record.hIcon);
    std::transform(record.szTip.begin(), record.szTip.end(), bytes.begin() + 24,
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return bytes;
}

NotifyIconData iconRecord(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip)
{
    NotifyIconData record;
    record.cbSize = Module1::kRecordSize;
    record.hWnd = window;
    record.uID = id;
    record.uFlags = Module1::kFlags;
    record.uCallbackMessage = Module1::kCallbackMessage;
    record.hIcon = icon;
    record.szTip = shapeTip(tip);
    return record;
}

void Module1::AddTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip)
{
    IconData = iconRecord(window, id, icon, tip);
    // A refused add changes nothing we knew: it is also the answer for a pair still registered,
    // as when a tray host that came back has docked our icon again by itself.
    shown_ = port_.notify(kNimAdd, IconData) || shown_;
}

void Module1::ModifyTrayIcon(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip)
{
    IconData = iconRecord(window, id, icon, tip);
    // A refused modify means the icon is no longer registered: the notification area went away.
    shown_ = port_.notify(kNimModify, IconData);
}

void Module1::DeleteTrayIcon(std::int32_t id)
{
    IconData.uID = id;
    if (port_.notify(kNimDelete, IconData))
        shown_ = false;
}

} // namespace latchsweep
