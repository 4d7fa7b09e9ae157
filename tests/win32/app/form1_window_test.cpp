// The main window on the real Windows API: layout, menu bar, buttons, the ways out and the
// notification-area callback arriving as the window's own WM_MOUSEMOVE.

#include <gtest/gtest.h>

#include <string>

#include "app/controls.h"
#include "app/form1.h"
#include "app/form1_window.h"
#include "app/handles.h"
#include "app/menu.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

class Form1WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The pointer away from the window: it must not send real mouse-moves of its own.
        SetCursorPos(0, 0);
        program.app->start();
    }

    Form1Window& window() { return static_cast<Form1Window&>(program.app->form1().view()); }
    HWND hwnd() { return window().hwnd(); }
    HWND control(const char* name) { return window().controls()[name]; }

    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    Win32TestProgram program;
};

std::string menuText(HMENU menu, int position)
{
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
    return text;
}

// The native menu holds the core's tree, item for item: captions, submenus and order.
void expectMenuMatches(HMENU menu, std::span<const MenuItem> items, const std::string& where)
{
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size())) << where;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int position = static_cast<int>(i);
        EXPECT_EQ(menuText(menu, position), std::string(items[i].caption)) << where << " #" << i;
        HMENU submenu = GetSubMenu(menu, position);
        EXPECT_EQ(submenu != nullptr, !items[i].children.empty()) << where << " #" << i;
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u) << where << " #" << i;
        if (submenu)
            expectMenuMatches(submenu, items[i].children, where + " > " + std::string(items[i].caption));
    }
}

UINT commandIdAt(HMENU menu, int position) { return GetMenuItemID(menu, position); }

TEST_F(Form1WindowTest, WindowHasItsCaptionFixedFrameAndClientSizeAndIsCentred)
{
    EXPECT_EQ(windowText(hwnd()), "Latchsweep");
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_FALSE(IsIconic(hwnd()));

    RECT client{};
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, px(4680));
    EXPECT_EQ(client.bottom, px(990));
    if (screenTwipsPerPixel() == 15.0) {
        EXPECT_EQ(client.right, 312);
        EXPECT_EQ(client.bottom, 66);
    }

    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((outer.left + outer.right) / 2, screenWidth / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, screenHeight / 2, 1);
}

TEST_F(Form1WindowTest, ControlsSitWhereTheLayoutPutsThemAndTurnOnHasTheFocus)
{
    // The buttons' positions are relative to the frame, which sits at 120, 0.
    const RECT frame = clientRectOf(control("Frame1"));
    EXPECT_EQ(frame.left, px(120));
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right - frame.left, px(4455));
    EXPECT_EQ(frame.bottom - frame.top, px(855));
    const RECT on = clientRectOf(control("Command1"));
    EXPECT_EQ(on.left, px(120) + px(120));
    EXPECT_EQ(on.top, px(240));
    EXPECT_EQ(on.right - on.left, px(2055));
    EXPECT_EQ(on.bottom - on.top, px(375));
    const RECT off = clientRectOf(control("Command2"));
    EXPECT_EQ(off.left, px(120) + px(2280));
    EXPECT_EQ(off.top, px(240));
    if (screenTwipsPerPixel() == 15.0) {
        EXPECT_EQ(on.left, 16);
        EXPECT_EQ(off.left, 160);
        EXPECT_EQ(on.right - on.left, 137);
    }
    EXPECT_EQ(windowText(control("Command1")), "Turn ON");
    EXPECT_EQ(windowText(control("Command2")), "Turn OFF");
    EXPECT_EQ(GetFocus(), control("Command1"));
}

TEST_F(Form1WindowTest, MenuBarIsTheCoreMenuTreeWithMinimizeOnTheBarItself)
{
    HMENU bar = GetMenu(hwnd());
    ASSERT_NE(bar, nullptr);
    expectMenuMatches(bar, mainMenuBar(), "bar");
    const int last = GetMenuItemCount(bar) - 1;
    EXPECT_EQ(GetSubMenu(bar, last), nullptr);
    EXPECT_EQ(menuText(bar, last).size(), 51u);
    EXPECT_EQ(menuText(bar, last).substr(43), "Minimize");
}

TEST_F(Form1WindowTest, ButtonsSwitchTheSweeperTimers)
{
    Form1& form = program.app->form1();
    SendMessageA(control("Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.Timer2.enabled());
    EXPECT_TRUE(form.Timer3.enabled());
    SendMessageA(control("Command2"), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_FALSE(form.Timer3.enabled());
}

TEST_F(Form1WindowTest, MinimizeHidesAndTheTrayDoubleClickRestores)
{
    HMENU bar = GetMenu(hwnd());
    const UINT minimize = commandIdAt(bar, GetMenuItemCount(bar) - 1);
    ASSERT_TRUE(program.app->module1().iconShown()) << "Minimize hides only while the tray icon is there";
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(minimize, 0), 0);
    EXPECT_FALSE(IsWindowVisible(hwnd()));
    EXPECT_TRUE(IsIconic(hwnd()));

    // Real movement over the window decodes to small values and does nothing.
    SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(311, 20));
    EXPECT_FALSE(IsWindowVisible(hwnd()));
    // A left button down on the icon does nothing either.
    SendMessageA(hwnd(), WM_MOUSEMOVE, 0, WM_LBUTTONDOWN);
    EXPECT_FALSE(IsWindowVisible(hwnd()));

    // The shell's callback: wParam the icon's id, lParam the mouse message, posted.
    const auto id = static_cast<WPARAM>(program.app->form1().IconObject);
    PostMessageA(hwnd(), WM_MOUSEMOVE, id, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(hwnd()) != 0; }, 2s));
    EXPECT_FALSE(IsIconic(hwnd()));
    EXPECT_EQ(program.app->form1().TrayMessage, WM_LBUTTONDBLCLK);
}

TEST_F(Form1WindowTest, CloseRequestAndFileExitRemoveTheIconAndEnd)
{
    const NotifyIconData record = program.app->module1().iconData();
    SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.process.endCount, 1);
    EXPECT_FALSE(program.app->module1().iconShown());
    // The icon is gone from the notification area: the platform refuses to modify it.
    NOTIFYICONDATAA native = toNative(record);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &native));
    // The window is never destroyed by the request itself; the process end takes it.
    EXPECT_TRUE(IsWindow(hwnd()));

    HMENU file = GetSubMenu(GetMenu(hwnd()), 0);
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(commandIdAt(file, 0), 0), 0);
    EXPECT_EQ(program.process.endCount, 1) << "the program ends once";
}

TEST_F(Form1WindowTest, AnimationStepsTheWindowAndTrayIconThroughTheFrames)
{
    Form1& form = program.app->form1();
    ASSERT_EQ(form.ImageList1.size(), 2u);
    auto smallIcon = [&] {
        return toIconHandle(reinterpret_cast<HICON>(SendMessageA(hwnd(), WM_GETICON, ICON_SMALL, 0)));
    };
    EXPECT_EQ(smallIcon(), form.IconObject);
    EXPECT_TRUE(pumpUntil([&] { return smallIcon() == form.ImageList1[0]; }, 3s));
    EXPECT_TRUE(pumpUntil([&] { return smallIcon() == form.ImageList1[1]; }, 3s));
    EXPECT_TRUE(pumpUntil([&] { return smallIcon() == form.ImageList1[0]; }, 3s));
    // Each modify went through: the icon is still registered under the id of the start-up icon.
    EXPECT_TRUE(program.app->module1().iconShown());
    EXPECT_EQ(program.app->module1().iconData().uID, static_cast<std::int32_t>(form.IconObject));
    EXPECT_NE(form.ImageList1[0], form.IconObject);
}

TEST_F(Form1WindowTest, TaskbarCreatedAddsTheIconAgain)
{
    // The shell restarted and lost every icon.
    NOTIFYICONDATAA native = toNative(program.app->module1().iconData());
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &native));
    ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &native));

    SendMessageA(hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    native = toNative(program.app->module1().iconData());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &native));
    EXPECT_EQ(program.app->module1().iconData().uID, static_cast<std::int32_t>(program.app->form1().IconObject));
}

TEST_F(Form1WindowTest, TurnOnDeletesTheLockFileNamedInDirectoryTxt)
{
    const std::string lock = scratch / "MM2.LOCK";
    writeFile(lock, "");
    writeFile("Directory.txt", lock + "\r\n");
    writeFile("AutoDelete.txt", "200\r\n"); // applied at the refresher's first tick, one second on
    SendMessageA(control("Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !exists(lock); }, 8s));
    EXPECT_EQ(program.app->form1().Timer2.interval(), 200);

    // Made again, it goes again at a later sweep; after Turn OFF it stays.
    writeFile(lock, "");
    EXPECT_TRUE(pumpUntil([&] { return !exists(lock); }, 3s));
    SendMessageA(control("Command2"), BM_CLICK, 0, 0);
    writeFile(lock, "");
    pumpFor(700ms);
    EXPECT_TRUE(exists(lock));
}

} // namespace
} // namespace latchsweep::win32
