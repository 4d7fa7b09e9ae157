// The notification area through the real Shell_NotifyIconA, and the pop-up menu of Form4
// through the real TrackPopupMenu.

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/form1_window.h"
#include "app/handles.h"
#include "app/native_window.h"
#include "tray/form4.h"
#include "tray/module1.h"
#include "tray/notification_area.h"
#include "tray/tray_views.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

// A top-level window for the icon to belong to, as the main window is.
class IconOwner : public NativeWindow {
public:
    IconOwner()
    {
        WindowArgs args;
        args.className = "LatchsweepTestIconOwner";
        args.clientWidth = 100;
        args.clientHeight = 50;
        create(args);
    }
};

NotifyIconData recordFor(HWND window, std::int32_t id, HICON icon)
{
    NotifyIconData record;
    record.cbSize = Module1::kRecordSize;
    record.hWnd = toWindowHandle(window);
    record.uID = id;
    record.uFlags = Module1::kFlags;
    record.uCallbackMessage = Module1::kCallbackMessage;
    record.hIcon = toIconHandle(icon);
    record.szTip = shapeTip("Latchsweep");
    return record;
}

TEST(NotificationAreaTest, RecordBecomesTheFirstFormOfNotifyIconData)
{
    NotifyIconData record = recordFor(nullptr, -7, nullptr);
    // Handles arrive as 32-bit values; a 64-bit process holds them sign-extended.
    record.hWnd = 0x80000010u;
    record.hIcon = 0x00010020u;
    const NOTIFYICONDATAA native = toNative(record);
    EXPECT_EQ(native.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(native.hWnd, fromHandle32<HWND>(0x80000010u));
    EXPECT_EQ(toHandle32(native.hWnd), 0x80000010u);
    EXPECT_EQ(native.uID, static_cast<UINT>(-7));
    EXPECT_EQ(native.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(native.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(native.hIcon, fromHandle32<HICON>(0x00010020u));
    EXPECT_EQ(std::string(native.szTip), "Latchsweep");
    EXPECT_EQ(native.szTip[63], ' ');
}

TEST(NotificationAreaTest, AddModifyAndDeleteThroughShellNotifyIcon)
{
    IconOwner owner;
    Win32TrayPort port;
    EXPECT_TRUE(port.available());
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
    const NotifyIconData record = recordFor(owner.hwnd(), 4242, icon);

    EXPECT_TRUE(port.notify(kNimAdd, record));
    EXPECT_TRUE(port.notify(kNimModify, record));
    EXPECT_TRUE(port.notify(kNimDelete, record));
    EXPECT_FALSE(port.notify(kNimDelete, record)) << "a second delete finds nothing";
    EXPECT_FALSE(port.notify(kNimModify, record)) << "a modify does not bring the icon back";

    // The pair (window, id) names the icon: another id of the same window is another icon.
    EXPECT_TRUE(port.notify(kNimAdd, record));
    NotifyIconData other = record;
    other.uID = 4243;
    EXPECT_FALSE(port.notify(kNimDelete, other));
    EXPECT_TRUE(port.notify(kNimDelete, record));
}

TEST(NotificationAreaTest, DeleteNeedsOnlyTheIdAfterTheAdd)
{
    IconOwner owner;
    Win32TrayPort port;
    Module1 module(port);
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    module.AddTrayIcon(toWindowHandle(owner.hwnd()), 77, toIconHandle(icon), "Latchsweep");
    EXPECT_TRUE(module.iconShown());
    module.DeleteTrayIcon(77);
    EXPECT_FALSE(module.iconShown());
    NOTIFYICONDATAA native = toNative(module.iconData());
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &native));
}

// Answers the next pop-up menu of this process with keys, as a user at the keyboard would.
class MenuAnswerer {
public:
    explicit MenuAnswerer(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              for (int waited = 0; waited < 250 && menu_ == nullptr; ++waited) {
                  const auto menus = visibleWindowsOfClass("#32768");
                  if (!menus.empty())
                      menu_ = menus.front();
                  else
                      Sleep(20);
              }
              if (!menu_)
                  return;
              Sleep(100);
              for (const WPARAM key : keys) {
                  PostMessageA(menu_, WM_KEYDOWN, key, 0);
                  Sleep(50);
              }
          })
    {
    }
    ~MenuAnswerer() { thread_.join(); }
    MenuAnswerer(const MenuAnswerer&) = delete;
    MenuAnswerer& operator=(const MenuAnswerer&) = delete;

    [[nodiscard]] bool sawMenu() const { return menu_ != nullptr; }

private:
    std::atomic<HWND> menu_{nullptr};
    std::thread thread_;
};

std::string menuText(HMENU menu, int position)
{
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
    return text;
}

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program.app->start();
        settle();
    }

    Form1Window& mainWindow() { return static_cast<Form1Window&>(program.app->form1().view()); }

    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    Win32TestProgram program;
};

TEST_F(PopupTest, Form4IsNeverShownAndCarriesTheCoreMenuTree)
{
    Form4& carrier = program.app->form4().obtain();
    auto& window = static_cast<Form4Window&>(carrier.view());
    carrier.view().show();
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(windowText(window.hwnd()), "Icon Popup Menu");

    HMENU menu = window.menu();
    const auto items = form4Menu().children;
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(menuText(menu, static_cast<int>(i)), std::string(items[i].caption));
    EXPECT_EQ(menuText(menu, 3), "Show Main Window");
    HMENU settings = GetSubMenu(GetSubMenu(menu, 1), 0);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(menuText(settings, 0), "MM2 Directory");
    EXPECT_EQ(menuText(settings, 1), "Auto-Delete");
}

TEST_F(PopupTest, DismissedPopupChoosesNothing)
{
    Form4& carrier = program.app->form4().obtain();
    Command chosen = Command::Exit;
    {
        MenuAnswerer answer({VK_ESCAPE});
        chosen = carrier.view().trackPopup();
        EXPECT_TRUE(answer.sawMenu());
    }
    EXPECT_EQ(chosen, Command::None);
}

TEST_F(PopupTest, RightButtonUpOnTheIconPopsTheMenuAndShowMainWindowRestores)
{
    HWND main = mainWindow().hwnd();
    HMENU bar = GetMenu(main);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(GetMenuItemID(bar, GetMenuItemCount(bar) - 1), 0), 0);
    ASSERT_FALSE(IsWindowVisible(main));

    // Releasing the right button: the pop-up opens; Up from nothing selected lands on the last
    // entry, "Show Main Window", and Enter chooses it.
    {
        MenuAnswerer answer({VK_UP, VK_RETURN});
        SendMessageA(main, WM_MOUSEMOVE, static_cast<WPARAM>(program.app->form1().IconObject), WM_RBUTTONUP);
        EXPECT_TRUE(answer.sawMenu());
    }
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_FALSE(program.app->form4().exists()) << "Show Main Window discards Form4";
    EXPECT_EQ(program.app->form1().TrayMessage, WM_RBUTTONUP);
}

TEST_F(PopupTest, RightButtonDownOpensNothing)
{
    HWND main = mainWindow().hwnd();
    SendMessageA(main, WM_MOUSEMOVE, 0, WM_RBUTTONDOWN);
    EXPECT_FALSE(program.app->form4().exists());
    EXPECT_TRUE(visibleWindowsOfClass("#32768").empty());
}

} // namespace
} // namespace latchsweep::win32
