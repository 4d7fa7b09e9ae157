#pragma once

#include <windows.h>
#include <shellapi.h>

#include "core/base/tray_port.h"

namespace latchsweep::win32 {

// The record as Shell_NotifyIconA takes it in this build: on 32-bit Windows the core's 88 bytes
// as they are, on 64-bit the same fields in the native first-form NOTIFYICONDATAA (104 bytes,
// handles widened).
NOTIFYICONDATAA toNative(const NotifyIconData& record);

// The notification area through Shell_NotifyIconA.
class Win32TrayPort : public TrayPort {
public:
    bool notify(std::uint32_t message, const NotifyIconData& record) override;
    // The shell's task bar, which hosts the notification area, is running.
    [[nodiscard]] bool available() const override { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }
};

} // namespace latchsweep::win32
