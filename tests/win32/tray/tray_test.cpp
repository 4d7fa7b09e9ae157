// The notification area through the real Shell_NotifyIconA.

#include <gtest/gtest.h>

#include "core/base/product.h"
#include "core/tray/module1.h"
#include "tests/support/tray_port_contract.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

// The tip the program gives its icon: its title.
constexpr std::string_view kTip = kAppTitle;

NotifyIconData recordFor(WindowHandle window, std::int32_t id, IconHandle icon)
{
    return iconRecord(window, id, icon, kTip);
}

TEST(NotificationAreaTest, RecordBecomesTheFirstFormOfNotifyIconData)
{
    // Handles arrive as 32-bit values; a 64-bit process holds them sign-extended.
    const NOTIFYICONDATAA native = toNative(recordFor(0x80000010u, -7, 0x00010020u));
    EXPECT_EQ(native.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(native.hWnd, fromHandle32<HWND>(0x80000010u));
    EXPECT_EQ(toHandle32(native.hWnd), 0x80000010u);
    EXPECT_EQ(native.uID, static_cast<UINT>(-7));
    EXPECT_EQ(native.uFlags, Module1::kFlags);
    EXPECT_EQ(native.uCallbackMessage, Module1::kCallbackMessage);
    EXPECT_EQ(native.hIcon, fromHandle32<HICON>(0x00010020u));
    EXPECT_EQ(std::string(native.szTip), kTip);
    EXPECT_EQ(native.szTip[63], ' ');
}

TEST(NotificationAreaTest, ShellNotifyIconKeepsTheRecordsRulesOfPairs)
{
    class IconOwner : public NativeWindow {
    public:
        IconOwner()
        {
            WindowArgs args;
            args.className = "LatchsweepTestIconOwner";
            create(args);
        }
    } first, second;
    Win32TrayPort port;
    ASSERT_TRUE(port.available());
    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
    for (const std::string& violation : trayPortContractViolations(port, toWindowHandle(first.hwnd()),
                                                                   toWindowHandle(second.hwnd()), toIconHandle(icon)))
        ADD_FAILURE() << violation;
}

} // namespace
} // namespace latchsweep::win32
