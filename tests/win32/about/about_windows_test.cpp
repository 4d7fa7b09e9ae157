// The help window and the about box on the real Windows API: placement, content, keyboard.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/about/sysinfo.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/about/about_views.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

class AboutWindowsTest : public ProgramTest {
protected:
    HelpWindow& help() { return static_cast<HelpWindow&>(app().help().get()->view()); }
    AboutWindow& about() { return static_cast<AboutWindow&>(app().about().get()->view()); }
    std::string helpFile() const { return scratch / std::string(frmHelp::kHelpFile); }

    // A key pressed on the control with the focus, through the message loop's keyboard handling.
    void press(WPARAM key, UINT message = WM_KEYDOWN)
    {
        PostMessageA(GetFocus(), message, key, 0);
        pumpPending();
    }

    // A fixed dialog as its layout defines it, its client area at a fixed place of the screen, no
    // task bar button (owned by a window that is never shown).
    static void expectFixedDialog(HWND window, const Controls& controls, const WindowLayout& windowLayout,
                                  const TwipsRect& area)
    {
        expectWindowAsLaidOut(window, controls, windowLayout);
        EXPECT_EQ(area.width, windowLayout.clientWidth);
        EXPECT_EQ(area.height, windowLayout.clientHeight);
        HWND owner = GetWindow(window, GW_OWNER);
        EXPECT_TRUE(owner && !IsWindowVisible(owner));
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        EXPECT_EQ(origin.x, px(area.left));
        EXPECT_EQ(origin.y, px(area.top));
    }
};

TEST_F(AboutWindowsTest, HelpWindowShowsHelpTxtPlainOrRichAndItsInitialTextWithoutOne)
{
    app().run(Command::OpenHelp);
    ASSERT_TRUE(app().help().exists());
    expectFixedDialog(help().hwnd(), help().controls(), frmHelpLayout(),
                      fixedClientArea(frmHelpLayout())); // no help file yet
    EXPECT_EQ(GetFocus(), help().controls()["OKButton"]);
    SendMessageA(help().controls()["OKButton"], BM_CLICK, 0, 0);
    ASSERT_FALSE(app().help().exists());
    writeFile(helpFile(), "Press Turn ON.\r\nThat is all.\r\n");
    app().run(Command::OpenHelp);
    const std::string text = windowText(help().controls()["helptxt"]);
    EXPECT_EQ(text.substr(0, 14), "Press Turn ON.");
    EXPECT_NE(text.find("That is all."), std::string::npos);
    SendMessageA(help().controls()["OKButton"], BM_CLICK, 0, 0);
    writeFile(helpFile(), "{\\rtf1\\ansi {\\b Bold} plain\\par}");
    app().run(Command::OpenHelp);
    HWND box = help().controls()["helptxt"];
    EXPECT_EQ(windowText(box).substr(0, 10), "Bold plain");
    for (const auto& [start, bold] : {std::pair{0, true}, std::pair{6, false}}) {
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(start), start + 1);
        SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, bold) << start;
    }
}

TEST_F(AboutWindowsTest, HelpTextInAnotherCodePageShowsItsOwnLetters)
{
    // Saved on a Cyrillic system; this system's own code page may be any other.
    writeFile(helpFile(), "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2!\\par}");
    app().run(Command::OpenHelp);
    HWND box = help().controls()["helptxt"];
    wchar_t text[16] = {};
    GetWindowTextW(box, text, 16);
    EXPECT_EQ(std::wstring(text).substr(0, 7), L"\u041f\u0440\u0438\u0432\u0435\u0442!");
}

TEST_F(AboutWindowsTest, MovedToADenserScreenTheWindowTakesTheSuggestedPlaceAndItsLayoutScales)
{
    app().run(Command::OpenHelp);
    HWND window = help().hwnd();
    RECT suggested{};
    GetWindowRect(window, &suggested);
    OffsetRect(&suggested, 40, 30);
    constexpr int kDpi = 144; // 10 twips per pixel
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(window, &now);
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.top, suggested.top);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, twipsToPixels(frmHelpLayout().clientWidth, 10.0));
    EXPECT_EQ(client.bottom, twipsToPixels(frmHelpLayout().clientHeight, 10.0));
    for (const ControlLayout& control : frmHelpLayout().controls) {
        HWND native = help().controls()[control.name];
        RECT place{};
        GetWindowRect(native, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, twipsToPixels(control.rect.left, 10.0)) << control.name;
        EXPECT_EQ(place.bottom - place.top, twipsToPixels(control.rect.height, 10.0)) << control.name;
        if (control.kind == ControlKind::Label) {
            LOGFONTA font{};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(native, WM_GETFONT, 0, 0)), sizeof(font), &font);
            EXPECT_EQ(font.lfHeight, -std::lround(control.font.points * kDpi / 72.0)) << control.name;
        }
    }
}

TEST_F(AboutWindowsTest, HelpWindowIgnoresEscAndClosesByCancelOrTheCloseBox)
{
    app().run(Command::OpenHelp);
    press(VK_ESCAPE);
    EXPECT_TRUE(app().help().exists());
    SendMessageA(help().controls()["CancelButton"], BM_CLICK, 0, 0);
    EXPECT_FALSE(app().help().exists());
    app().run(Command::OpenHelp);
    HWND first = help().hwnd();
    app().run(Command::OpenHelp);
    EXPECT_EQ(help().hwnd(), first) << "one help window";
    SendMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(app().help().exists());
}

TEST_F(AboutWindowsTest, AboutBoxLayoutAndEtchedSeparators)
{
    app().run(Command::OpenAbout);
    ASSERT_TRUE(app().about().exists());
    const Controls& controls = about().controls();
    expectFixedDialog(about().hwnd(), controls, frmAboutLayout(), fixedClientArea(frmAboutLayout()));
    EXPECT_EQ(GetFocus(), controls["cmdOK"]);
    EXPECT_NE(SendMessageA(controls["picIcon"], STM_GETICON, 0, 0), 0) << "the product picture";
    RedrawWindow(about().hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpFor(200ms);
    HDC dc = GetDC(about().hwnd());
    // Each line is a band of its width from its top row down, drawn in order: a band's last row is
    // its own colour (the grey band, drawn after the wider white one, covers only its top row).
    ASSERT_FALSE(frmAboutLines().empty());
    for (const EtchedLine& line : frmAboutLines()) {
        const COLORREF colour = RGB((line.rgb >> 16) & 0xFF, (line.rgb >> 8) & 0xFF, line.rgb & 0xFF);
        EXPECT_EQ(GetPixel(dc, px((line.x1 + line.x2) / 2), px(line.y) + line.widthPixels - 1), colour) << line.index;
    }
    ReleaseDC(about().hwnd(), dc);
}

TEST_F(AboutWindowsTest, AboutBoxClosesByEscOrEnterAndAltSStartsSystemInformation)
{
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        app().run(Command::OpenAbout);
        press(key);
        EXPECT_FALSE(app().about().exists()) << key;
    }
    const std::string tool = scratch / "msinfo32.exe";
    ASSERT_TRUE(CopyFileA(besideTest("launch_probe.exe").c_str(), tool.c_str(), FALSE));
    ScopedRegistryValue path{std::string(kMsinfoKey), std::string(kMsinfoValue)};
    ASSERT_TRUE(path.set(REG_SZ, tool + '\0'));
    app().run(Command::OpenAbout);
    press('s', WM_SYSCHAR);
    EXPECT_TRUE(pumpUntil([&] { return exists(scratch / "launched.txt"); }, 15s));
    EXPECT_TRUE(app().about().exists());
}

} // namespace
} // namespace latchsweep::win32
