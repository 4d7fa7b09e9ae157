// The game directory and auto-delete windows on the real Windows API, driven through their
// controls: the directory list, Save, the delay box and the close box; names outside the ANSI
// code page through all of them.

#include <gtest/gtest.h>

#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/sweep/data_files.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/settings/settings_views.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

// Replaces a box's text as typing does, which marks the box edited (setting its text does not).
void typeInto(HWND box, const wchar_t* text)
{
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

class SettingsWindowsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        CreateDirectoryA((scratch / "Midtown Madness 2").c_str(), nullptr);
        CreateDirectoryA((scratch / "Other Game").c_str(), nullptr);
        ProgramTest::SetUp();
    }

    Form2Window& form2() { return static_cast<Form2Window&>(app().form2().get()->view()); }
    Form3Window& form3() { return static_cast<Form3Window&>(app().form3().get()->view()); }
    HWND list() { return form2().controls()["MM2Dir"]; }
    std::string mm2Dir() { return app().form2().get()->MM2Dir().path(); }

    int indexOf(const std::string& item)
    {
        return static_cast<int>(SendMessageA(list(), LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(item.c_str())));
    }
    std::string selected()
    {
        const auto index = static_cast<WPARAM>(SendMessageA(list(), LB_GETCURSEL, 0, 0));
        std::string text(static_cast<std::size_t>(SendMessageA(list(), LB_GETTEXTLEN, index, 0)), '\0');
        SendMessageA(list(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        return text;
    }
    void openHighlighted()
    {
        SendMessageA(form2().hwnd(), WM_COMMAND, MAKEWPARAM(form2().controls().id("MM2Dir"), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list()));
    }
};

TEST_F(SettingsWindowsTest, GameDirectoryWindowListsTheWorkingDirectoryAndOpensByDoubleClickOrEnter)
{
    app().run(Command::OpenGameDirectory);
    ASSERT_TRUE(app().form2().exists());
    HWND window = form2().hwnd();
    expectWindowAsLaidOut(window, form2().controls(), form2Layout()); // no directory stored yet
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "a window of its own, with a task bar button";
    // The working directory's ancestors and itself, then its subdirectories; it is the value.
    const int current = static_cast<int>(SendMessageA(list(), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(selected(), scratch.path().filename().string());
    EXPECT_GT(indexOf("Midtown Madness 2"), current);
    EXPECT_GT(indexOf("Other Game"), current);

    // Highlighting alone changes nothing; a double-click opens.
    SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(indexOf("Midtown Madness 2")), 0);
    EXPECT_EQ(mm2Dir(), scratch.path().string());
    openHighlighted();
    EXPECT_EQ(mm2Dir(), scratch / "Midtown Madness 2");
    EXPECT_EQ(selected(), "Midtown Madness 2");

    // Enter in the list opens the highlighted entry, through the message loop's keyboard handling.
    SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(indexOf(scratch.path().filename().string())), 0);
    pumpFor(300ms);
    SetFocus(list());
    ASSERT_EQ(GetFocus(), list());
    PostMessageA(list(), WM_KEYDOWN, VK_RETURN, 0);
    pumpPending();
    EXPECT_EQ(mm2Dir(), scratch.path().string());
}

TEST_F(SettingsWindowsTest, TheCloseBoxAndSaveReachTheGameDirectoryWindow)
{
    app().run(Command::OpenGameDirectory);
    SendMessageA(form2().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(app().form2().exists());
    app().run(Command::OpenGameDirectory);
    SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(indexOf("Other Game")), 0);
    openHighlighted();
    HWND window = form2().hwnd();
    {
        BoxAnswerer boxes;
        SendMessageA(form2().controls()["Command1"], BM_CLICK, 0, 0);
        ASSERT_EQ(boxes.answered().size(), 1u);
        EXPECT_EQ(boxes.answered()[0].owner, window); // placed over the window that asks
        EXPECT_EQ(boxes.answered()[0].othersTakingInput, 0);
    }
    EXPECT_EQ(readFile(scratch / std::string(kDirectoryFile)), scratch / "Other Game\\MM2.LOCK" + "\r\n");
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SettingsWindowsTest, AutoDeleteWindowSavesTheDelayBoxAsTyped)
{
    app().run(Command::OpenAutoDelete);
    ASSERT_TRUE(app().form3().exists());
    expectWindowAsLaidOut(form3().hwnd(), form3().controls(), form3Layout()); // the initial delay, none saved
    EXPECT_EQ(GetWindow(form3().hwnd(), GW_OWNER), nullptr);
    typeInto(form3().controls()["text1"], L" 250 ");
    {
        BoxAnswerer boxes;
        SendMessageA(form3().controls()["Command1"], BM_CLICK, 0, 0);
    }
    EXPECT_EQ(readFile(scratch / std::string(kAutoDeleteFile)), " 250 \r\n");
}

// The refresher reads the box of a window it brings into being hidden, typed text too; the menu
// then shows that same window.
TEST_F(SettingsWindowsTest, TheRefresherReadsAHiddenAutoDeleteWindowThatTheMenuThenShows)
{
    writeFile(scratch / std::string(kAutoDeleteFile), "4321\r\n");
    app().refreshDelay();
    HWND hidden = form3().hwnd();
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(app().form1().Timer2().interval(), 4321);
    typeInto(form3().controls()["text1"], L"777");
    app().refreshDelay();
    EXPECT_EQ(app().form1().Timer2().interval(), 777);
    app().run(Command::OpenAutoDelete);
    EXPECT_EQ(form3().hwnd(), hidden);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_EQ(windowText(form3().controls()["text1"]), "777");
}

// A folder the ANSI code page cannot spell, through the window's own controls: listed and opened
// by its name, saved, and shown again. The bytes it is saved in are the text rule's (the core's
// tests) in the system's conversion (the platform tests); the real program sweeps such a folder
// end to end.
TEST_F(SettingsWindowsTest, AFolderOutsideTheAnsiCodePageIsListedOpenedSavedAndShownByItsName)
{
    const std::string games = "\u0418\u0433\u0440\u044b";
    const std::string base = toUtf8(scratch.path().wstring());
    ASSERT_TRUE(CreateDirectoryW(fromUtf8(base + "\\" + games).c_str(), nullptr));
    app().run(Command::OpenGameDirectory);
    const std::wstring wide = fromUtf8(games);
    const LRESULT index = SendMessageW(list(), LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(wide.c_str()));
    ASSERT_GE(index, 0) << "listed by its name";
    SendMessageW(list(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    openHighlighted();
    const std::string lockFile = base + "\\" + games + "\\MM2.LOCK";
    EXPECT_EQ(mm2Dir() + "\\MM2.LOCK", lockFile);
    {
        BoxAnswerer boxes;
        SendMessageW(form2().controls()["Command1"], BM_CLICK, 0, 0);
    }
    app().run(Command::OpenGameDirectory);
    EXPECT_EQ(windowText(form2().controls()["curmm2dir"]), lockFile);
}

} // namespace
} // namespace latchsweep::win32
