// The main window on the real Windows API; the notification area's callback arrives as the
// window's own WM_MOUSEMOVE.

#include <gtest/gtest.h>

#include "core/app/form1.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/app/form1_window.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

class Form1WindowTest : public ProgramTest {
protected:
    Form1WindowTest() { settleTime = 0ms; } // the focus is checked as the window first shows
    Form1Window& window() { return static_cast<Form1Window&>(app().form1().view()); }
    HWND hwnd() { return window().hwnd(); }
    HWND control(const char* name) { return window().controls()[name]; }
    void menuCommand(HMENU menu, int position)
    {
        SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, position), 0), 0);
    }
    void minimize() { menuCommand(GetMenu(hwnd()), GetMenuItemCount(GetMenu(hwnd())) - 1); }
};

TEST_F(Form1WindowTest, WindowControlsAndMenuBarAreBuiltFromTheLayout)
{
    expectWindowAsLaidOut(hwnd(), window().controls(), form1Layout());
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    // Activation reaches a new window asynchronously, and Wine may first hand it to its own tray
    // window right after start: then the window is activated as a click would, and the focus it
    // takes on activation must be "Turn ON" all the same.
    const auto focusOnTurnOn = [this] { return GetFocus() == control("Command1"); };
    if (!pumpUntil(focusOnTurnOn, std::chrono::seconds(5))) {
        SetForegroundWindow(hwnd());
        pumpUntil(focusOnTurnOn, std::chrono::seconds(5));
    }
    EXPECT_EQ(GetFocus(), control("Command1"));
    HMENU bar = GetMenu(hwnd());
    ASSERT_NE(bar, nullptr);
    expectMenuMatches(bar, mainMenuBar(), "bar");
    const std::string minimize = menuText(bar, GetMenuItemCount(bar) - 1);
    EXPECT_EQ(minimize, std::string(43, ' ') + "Minimize");
}

// What a sweep does is proved on the virtual clock and end to end; here each click reaches the switch.
TEST_F(Form1WindowTest, TheButtonsReachTheSweepersSwitch)
{
    SendMessageA(control("Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(app().form1().Timer2().enabled() && app().form1().Timer3().enabled());
    SendMessageA(control("Command2"), BM_CLICK, 0, 0);
    EXPECT_FALSE(app().form1().Timer2().enabled() || app().form1().Timer3().enabled());
}

TEST_F(Form1WindowTest, MinimizeHidesAndOnlyTheTrayDoubleClickRestores)
{
    ASSERT_TRUE(app().module1().iconShown()) << "Minimize hides only while the tray icon is there";
    minimize();
    EXPECT_FALSE(IsWindowVisible(hwnd()));
    EXPECT_TRUE(IsIconic(hwnd()));
    // Real movement over the window decodes to small values; a left press on the icon does nothing.
    for (const LPARAM move : {MAKELPARAM(311, 20), LPARAM{WM_LBUTTONDOWN}}) {
        SendMessageA(hwnd(), WM_MOUSEMOVE, 0, move);
        EXPECT_FALSE(IsWindowVisible(hwnd()));
    }
    // The shell's callback: wParam the icon's id, lParam the mouse message, posted.
    PostMessageA(hwnd(), WM_MOUSEMOVE, static_cast<WPARAM>(app().form1().IconObject()), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(hwnd()) != 0; }, 2s));
    EXPECT_FALSE(IsIconic(hwnd()));
    EXPECT_EQ(app().form1().TrayMessage(), WM_LBUTTONDBLCLK);
}

TEST_F(Form1WindowTest, CloseRequestAndFileExitRemoveTheIconAndEndOnce)
{
    NOTIFYICONDATAA native = toNative(app().module1().iconData());
    SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.process.endCount, 1);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &native)) << "the icon is still in the notification area";
    EXPECT_TRUE(IsWindow(hwnd())) << "the process end takes the window, not the request";
    menuCommand(GetSubMenu(GetMenu(hwnd()), 0), 0);
    EXPECT_EQ(program.process.endCount, 1);
}

TEST_F(Form1WindowTest, AnimationStepsTheWindowAndTrayIconsAndTaskbarCreatedAddsTheIconAgain)
{
    Form1& form = app().form1();
    ASSERT_EQ(form.ImageList1().size(), 2u);
    auto smallIcon = [&] {
        return toIconHandle(reinterpret_cast<HICON>(SendMessageA(hwnd(), WM_GETICON, ICON_SMALL, 0)));
    };
    EXPECT_EQ(smallIcon(), form.IconObject());
    for (const IconHandle frame : {form.ImageList1()[0], form.ImageList1()[1], form.ImageList1()[0]})
        EXPECT_TRUE(pumpUntil([&] { return smallIcon() == frame; }, 3s));
    // Each modify went through, under the id of the start-up icon.
    EXPECT_TRUE(app().module1().iconShown());
    EXPECT_EQ(app().module1().iconData().uID, static_cast<std::int32_t>(form.IconObject()));

    // The shell restarted and lost every icon.
    NOTIFYICONDATAA native = toNative(app().module1().iconData());
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &native));
    SendMessageA(hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    native = toNative(app().module1().iconData());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &native));
    EXPECT_EQ(app().module1().iconData().uID, static_cast<std::int32_t>(form.IconObject()));
}

} // namespace
} // namespace latchsweep::win32
