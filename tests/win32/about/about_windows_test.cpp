// The help window and the about box on the real Windows API: placement, content, keyboard.

#include <gtest/gtest.h>

#include "about/about_views.h"
#include "about/frm_about.h"
#include "about/frm_help.h"
#include "app/controls.h"
#include "app/handles.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

class AboutWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(0, 0);
        program.app->start();
        settle();
    }

    HelpWindow& help() { return static_cast<HelpWindow&>(program.app->help().get()->view()); }
    AboutWindow& about() { return static_cast<AboutWindow&>(program.app->about().get()->view()); }

    // A key as the user presses it on the control that has the focus, through the message
    // loop's keyboard handling.
    void press(WPARAM key)
    {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 0);
        pumpPending();
    }

    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    Win32TestProgram program;
};

// A window of the fixed dialog kind: its client area at a fixed place of the screen, and no
// task bar button (owned by a window that is never shown).
void expectFixedDialog(HWND window, const char* caption, const TwipsRect& clientArea)
{
    EXPECT_EQ(windowText(window), caption);
    EXPECT_TRUE(IsWindowVisible(window));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    HWND owner = GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, px(clientArea.left));
    EXPECT_EQ(origin.y, px(clientArea.top));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(clientArea.width));
    EXPECT_EQ(client.bottom, px(clientArea.height));
}

TEST_F(AboutWindowsTest, HelpWindowShowsHelpTxtFromTheWorkingDirectory)
{
    writeFile(scratch / "help.txt", "Press Turn ON.\r\nThat is all.\r\n");
    program.app->run(Command::OpenHelp);
    ASSERT_TRUE(program.app->help().exists());
    expectFixedDialog(help().hwnd(), "Help", frmHelpClientArea());
    const std::string text = windowText(help().controls()["helptxt"]);
    EXPECT_EQ(text.find("Cannot Find Help File!"), std::string::npos);
    EXPECT_EQ(text.substr(0, 14), "Press Turn ON.");
    EXPECT_NE(text.find("That is all."), std::string::npos);
    EXPECT_EQ(GetFocus(), help().controls()["OKButton"]);
    EXPECT_EQ(windowText(help().controls()["Label1"]), "Help!");
}

TEST_F(AboutWindowsTest, HelpWindowWithoutAFileKeepsItsInitialTextAndShowsRichTextFormatted)
{
    program.app->run(Command::OpenHelp);
    EXPECT_EQ(windowText(help().controls()["helptxt"]), "Cannot Find Help File!");
    SendMessageA(help().controls()["OKButton"], BM_CLICK, 0, 0);
    ASSERT_FALSE(program.app->help().exists());

    writeFile(scratch / "help.txt", "{\\rtf1\\ansi {\\b Bold} plain\\par}");
    program.app->run(Command::OpenHelp);
    HWND box = help().controls()["helptxt"];
    EXPECT_EQ(windowText(box).substr(0, 10), "Bold plain");
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(box, EM_SETSEL, 0, 1);
    SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    SendMessageW(box, EM_SETSEL, 6, 7);
    SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_FALSE(format.dwEffects & CFE_BOLD);
}

TEST_F(AboutWindowsTest, HelpWindowIgnoresEscAndClosesByEitherButton)
{
    program.app->run(Command::OpenHelp);
    press(VK_ESCAPE);
    EXPECT_TRUE(program.app->help().exists());
    SendMessageA(help().controls()["CancelButton"], BM_CLICK, 0, 0);
    EXPECT_FALSE(program.app->help().exists());
    program.app->run(Command::OpenHelp);
    HWND first = help().hwnd();
    program.app->run(Command::OpenHelp);
    EXPECT_EQ(help().hwnd(), first) << "one help window";
    SendMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.app->help().exists());
}

TEST_F(AboutWindowsTest, AboutBoxLayoutAndContent)
{
    program.app->run(Command::OpenAbout);
    ASSERT_TRUE(program.app->about().exists());
    expectFixedDialog(about().hwnd(), "About Latchsweep", frmAboutClientArea());
    const Controls& controls = about().controls();
    EXPECT_EQ(GetFocus(), controls["cmdOK"]);
    EXPECT_EQ(windowText(controls["lblTitle"]), "LATCHSWEEP");
    EXPECT_EQ(windowText(controls["lblVersion"]), "Version 1.0");
    EXPECT_EQ(windowText(controls["cmdSysInfo"]), "&System Info...");
    EXPECT_NE(SendMessageA(controls["picIcon"], STM_GETICON, 0, 0), 0) << "the product picture";
    const RECT ok = clientRectOf(controls["cmdOK"]);
    EXPECT_EQ(ok.left, px(120));
    EXPECT_EQ(ok.top, px(3960));
    EXPECT_EQ(ok.right - ok.left, px(4260));
}

TEST_F(AboutWindowsTest, AboutBoxDrawsItsEtchedSeparators)
{
    program.app->run(Command::OpenAbout);
    HWND window = about().hwnd();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpFor(200ms);
    HDC dc = GetDC(window);
    for (const int y : {2400, 3360}) {
        // Grey on the line's first row, over the white line's first row; white on its second.
        EXPECT_EQ(GetPixel(dc, px(1000), px(y)), RGB(128, 128, 128)) << y;
        EXPECT_EQ(GetPixel(dc, px(1000), px(y) + 1), RGB(255, 255, 255)) << y;
    }
    ReleaseDC(window, dc);
}

TEST_F(AboutWindowsTest, AltSStartsSystemInformationAndTheBoxStaysOpen)
{
    const std::string tool = scratch / "msinfo32.exe";
    ASSERT_TRUE(CopyFileA(besideTest("launch_probe.exe").c_str(), tool.c_str(), FALSE));
    ScopedRegistryValue path{"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"};
    ASSERT_TRUE(path.set(REG_SZ, tool + '\0'));

    program.app->run(Command::OpenAbout);
    PostMessageA(GetFocus(), WM_SYSCHAR, 's', 0);
    pumpPending();
    EXPECT_TRUE(pumpUntil([&] { return exists(scratch / "launched.txt"); }, 15s));
    EXPECT_TRUE(program.app->about().exists());
}

TEST_F(AboutWindowsTest, EscAndEnterCloseTheAboutBox)
{
    program.app->run(Command::OpenAbout);
    press(VK_ESCAPE);
    EXPECT_FALSE(program.app->about().exists());

    program.app->run(Command::OpenAbout);
    press(VK_RETURN);
    EXPECT_FALSE(program.app->about().exists());
}

} // namespace
} // namespace latchsweep::win32
