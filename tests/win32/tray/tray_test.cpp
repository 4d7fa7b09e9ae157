// The notification area through the real Shell_NotifyIconA, and the pop-up menu of Form4
// through the real TrackPopupMenu.

#include <gtest/gtest.h>

#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/tray/form4.h"
#include "core/tray/module1.h"
#include "tests/support/tray_port_contract.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/app/form1_window.h"
#include "win32/app/native_window.h"
#include "win32/tray/tray_views.h"

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

// Answers the next pop-up menu of this process with keys, as a user at the keyboard would.
class MenuAnswerer {
public:
    explicit MenuAnswerer(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              for (int waited = 0; waited < 250 && !menu_; ++waited, Sleep(20))
                  if (const auto menus = visibleWindowsOfClass("#32768"); !menus.empty())
                      menu_ = menus.front();
              for (const WPARAM key : keys) {
                  if (!menu_)
                      return;
                  Sleep(100);
                  PostMessageA(menu_, WM_KEYDOWN, key, 0);
              }
          })
    {}
    ~MenuAnswerer() { thread_.join(); }
    [[nodiscard]] bool sawMenu() const { return menu_ != nullptr; }

private:
    std::atomic<HWND> menu_{nullptr};
    std::thread thread_;
};

class PopupTest : public ProgramTest {
protected:
    HWND mainWindow() { return static_cast<Form1Window&>(app().form1().view()).hwnd(); }
};

TEST_F(PopupTest, Form4IsNeverShownCarriesTheCoreMenuTreeAndADismissedPopupChoosesNothing)
{
    Form4& carrier = app().form4().obtain();
    auto& window = static_cast<Form4Window&>(carrier.view());
    carrier.view().show();
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(windowText(window.hwnd()), form4Layout().caption);
    expectMenuMatches(window.menu(), form4Menu().children, "pop-up");
    MenuAnswerer answer({VK_ESCAPE});
    EXPECT_EQ(carrier.view().trackPopup(), Command::None);
    EXPECT_TRUE(answer.sawMenu());
}

TEST_F(PopupTest, RightButtonUpOnTheIconPopsTheMenuAndShowMainWindowRestores)
{
    HWND main = mainWindow();
    SendMessageA(main, WM_MOUSEMOVE, 0, WM_RBUTTONDOWN);
    EXPECT_FALSE(app().form4().exists()) << "the press opens nothing";
    EXPECT_TRUE(visibleWindowsOfClass("#32768").empty());
    app().run(Command::Minimize);
    ASSERT_FALSE(IsWindowVisible(main));
    {
        // Up from nothing selected lands on the last entry, "Show Main Window"; Enter chooses it.
        MenuAnswerer answer({VK_UP, VK_RETURN});
        SendMessageA(main, WM_MOUSEMOVE, static_cast<WPARAM>(app().form1().IconObject()), WM_RBUTTONUP);
        EXPECT_TRUE(answer.sawMenu());
    }
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_FALSE(app().form4().exists()) << "Show Main Window discards Form4";
    EXPECT_EQ(app().form1().TrayMessage(), WM_RBUTTONUP);
}

} // namespace
} // namespace latchsweep::win32
