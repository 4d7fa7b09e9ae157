// The game directory and auto-delete settings windows on the real Windows API, driven through
// their controls as a user would: the directory list, Save, the delay box and the close box.

#include <gtest/gtest.h>

#include "app/controls.h"
#include "app/form1.h"
#include "app/handles.h"
#include "settings/form2.h"
#include "settings/form3.h"
#include "settings/settings_views.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

class SettingsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(0, 0);
        CreateDirectoryA((scratch / "Midtown Madness 2").c_str(), nullptr);
        CreateDirectoryA((scratch / "Other Game").c_str(), nullptr);
        program.app->start();
        settle();
    }

    Form2Window& form2() { return static_cast<Form2Window&>(program.app->form2().get()->view()); }
    Form3Window& form3() { return static_cast<Form3Window&>(program.app->form3().get()->view()); }

    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    Win32TestProgram program;
};

// What a window of its own looks like: caption and frame, client size, a task bar button.
void expectSettingsWindow(HWND window, const char* caption, int clientWidthTwips, int clientHeightTwips)
{
    EXPECT_EQ(windowText(window), caption);
    EXPECT_TRUE(IsWindowVisible(window));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr) << "shown without an owner";
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(clientWidthTwips));
    EXPECT_EQ(client.bottom, px(clientHeightTwips));
}

std::vector<std::string> listItems(HWND list)
{
    std::vector<std::string> items;
    const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)), '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        items.push_back(text);
    }
    return items;
}

int indexOf(const std::vector<std::string>& items, const std::string& item)
{
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

TEST_F(SettingsWindowsTest, GameDirectoryWindowListsTheWorkingDirectoryAndShowsNoPathYet)
{
    program.app->run(Command::OpenGameDirectory);
    ASSERT_TRUE(program.app->form2().exists());
    HWND window = form2().hwnd();
    expectSettingsWindow(window, "Select Midtown Madness 2 Directory", 5985, 4230);

    const Controls& controls = form2().controls();
    EXPECT_EQ(windowText(controls["curmm2dir"]), "No MM2 Directory Currently Set!");
    EXPECT_EQ(windowText(controls["Command1"]), "Save");
    EXPECT_EQ(windowText(controls["Label1"]), "Current MM2 Directory:");
    const RECT save = clientRectOf(controls["Command1"]);
    EXPECT_EQ(save.top, px(3240));
    EXPECT_EQ(save.right - save.left, px(5895));
    const RECT shown = clientRectOf(controls["curmm2dir"]);
    EXPECT_EQ(shown.left, px(1800));
    EXPECT_EQ(shown.top, px(3600));

    // The list: the working directory's ancestors and itself, then its subdirectories; the
    // working directory is the list's value.
    HWND list = controls["MM2Dir"];
    const auto items = listItems(list);
    const int current = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    ASSERT_GE(current, 0);
    EXPECT_EQ(items[static_cast<std::size_t>(current)], scratch.path().filename().string());
    EXPECT_GT(indexOf(items, "Midtown Madness 2"), current);
    EXPECT_GT(indexOf(items, "Other Game"), current);

    // Opening it again brings the same window forward.
    program.app->run(Command::OpenGameDirectory);
    EXPECT_EQ(form2().hwnd(), window);
}

TEST_F(SettingsWindowsTest, OpeningADirectoryAndSavingStoresTheLockFilePath)
{
    program.app->run(Command::OpenGameDirectory);
    HWND list = form2().controls()["MM2Dir"];
    const int game = indexOf(listItems(list), "Midtown Madness 2");
    ASSERT_GE(game, 0);
    // Highlighting alone changes nothing; a double-click opens the directory.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(game), 0);
    EXPECT_EQ(program.app->form2().get()->MM2Dir().path(), scratch.path().string());
    SendMessageA(form2().hwnd(), WM_COMMAND, MAKEWPARAM(form2().controls().id("MM2Dir"), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    const std::string chosen = scratch / "Midtown Madness 2";
    EXPECT_EQ(program.app->form2().get()->MM2Dir().path(), chosen);
    EXPECT_EQ(listItems(list)[static_cast<std::size_t>(SendMessageA(list, LB_GETCURSEL, 0, 0))], "Midtown Madness 2");

    HWND window = form2().hwnd();
    {
        BoxAnswerer boxes;
        SendMessageA(form2().controls()["Command1"], BM_CLICK, 0, 0);
        const auto answered = boxes.answered();
        ASSERT_EQ(answered.size(), 1u);
        EXPECT_EQ(answered[0].title, "Success");
        EXPECT_EQ(answered[0].text, "Midtown Madness 2 Directory Saved");
    }
    EXPECT_EQ(readFile(scratch / "Directory.txt"), chosen + "\\MM2.LOCK\r\n");
    EXPECT_FALSE(program.app->form2().exists());
    EXPECT_FALSE(IsWindow(window));

    // Reopened, the window shows the stored line.
    program.app->run(Command::OpenGameDirectory);
    const std::string shown = windowText(form2().controls()["curmm2dir"]);
    EXPECT_EQ(shown.substr(0, shown.find_first_of("\r\n")), chosen + "\\MM2.LOCK");
}

TEST_F(SettingsWindowsTest, EnterInTheListOpensTheHighlightedDirectory)
{
    program.app->run(Command::OpenGameDirectory);
    HWND list = form2().controls()["MM2Dir"];
    const int other = indexOf(listItems(list), "Other Game");
    ASSERT_GE(other, 0);
    settle();
    SetFocus(list);
    ASSERT_EQ(GetFocus(), list);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(other), 0);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    pumpPending();
    EXPECT_EQ(program.app->form2().get()->MM2Dir().path(), scratch / "Other Game");
}

TEST_F(SettingsWindowsTest, CloseBoxDiscardsTheGameDirectoryWindowUnsaved)
{
    program.app->run(Command::OpenGameDirectory);
    SendMessageA(form2().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.app->form2().exists());
    EXPECT_FALSE(exists(scratch / "Directory.txt"));
}

TEST_F(SettingsWindowsTest, AutoDeleteWindowSavesTheDelayBoxAsTyped)
{
    program.app->run(Command::OpenAutoDelete);
    ASSERT_TRUE(program.app->form3().exists());
    expectSettingsWindow(form3().hwnd(), "Auto-Delete Settings", 4680, 1365);
    const Controls& controls = form3().controls();
    HWND box = controls["text1"];
    EXPECT_EQ(windowText(box), "10000");
    EXPECT_EQ(windowText(controls["Frame1"]), "Auto-Delete Settings");
    // text1 sits in the frame: 120, 120 plus 2400, 240.
    const RECT place = clientRectOf(box);
    EXPECT_EQ(place.left, px(120) + px(2400));
    EXPECT_EQ(place.top, px(120) + px(240));

    SetWindowTextA(box, " 250 ");
    {
        BoxAnswerer boxes;
        SendMessageA(controls["Command1"], BM_CLICK, 0, 0);
        const auto answered = boxes.answered();
        ASSERT_EQ(answered.size(), 1u);
        EXPECT_EQ(answered[0].text, "The Auto Delete's Settings Has Been Saved");
        EXPECT_EQ(answered[0].title, "Success");
    }
    EXPECT_EQ(readFile(scratch / "AutoDelete.txt"), " 250 \r\n");
    EXPECT_FALSE(program.app->form3().exists());

    program.app->run(Command::OpenAutoDelete);
    EXPECT_EQ(windowText(form3().controls()["text1"]), " 250 ");
}

TEST_F(SettingsWindowsTest, RefresherCreatesTheAutoDeleteWindowHiddenAndTheMenuShowsThatInstance)
{
    writeFile(scratch / "AutoDelete.txt", "4321\r\n");
    program.app->form1().turnOn();
    ASSERT_TRUE(pumpUntil([&] { return program.app->form3().exists(); }, 4s));
    HWND hidden = form3().hwnd();
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_TRUE(pumpUntil([&] { return program.app->form1().Timer2.interval() == 4321; }, 3s));

    // Unsaved typing takes effect at the next tick; the menu shows the same window with it.
    SetWindowTextA(form3().controls()["text1"], "777");
    EXPECT_TRUE(pumpUntil([&] { return program.app->form1().Timer2.interval() == 777; }, 3s));
    program.app->run(Command::OpenAutoDelete);
    EXPECT_EQ(form3().hwnd(), hidden);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_EQ(windowText(form3().controls()["text1"]), "777");

    // Closed unsaved, the saved delay comes back from a fresh hidden window.
    SendMessageA(hidden, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return program.app->form1().Timer2.interval() == 4321; }, 3s));
    EXPECT_FALSE(IsWindowVisible(form3().hwnd()));
}

} // namespace
} // namespace latchsweep::win32
