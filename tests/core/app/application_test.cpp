#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "app/form1.h"
#include "app/menu.h"
#include "fake_views.h"
#include "settings/form2.h"
#include "settings/form3.h"

namespace latchsweep {
namespace {

using testing::FakeForm1View;
using testing::FakeProgram;

TEST(StartUp, RegistersTheIconThenStartsOnlyTheAnimation)
{
    FakeProgram program;
    auto& tray = program.platform.tray;
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].message, kNimAdd);
    EXPECT_EQ(tray.calls[0].record.uID, static_cast<std::int32_t>(FakeForm1View::kDesignIcon));
    EXPECT_EQ(tray.calls[0].record.hWnd, FakeForm1View::kHandle);
    EXPECT_EQ(program.form1().IconObject, FakeForm1View::kDesignIcon);
    EXPECT_TRUE(program.form1().Timer1.enabled());
    EXPECT_FALSE(program.form1().Timer2.enabled());
    EXPECT_FALSE(program.form1().Timer3.enabled());
    EXPECT_EQ(program.form1().Timer2.interval(), 6000);
    EXPECT_TRUE(program.form1View().visible);
    EXPECT_FALSE(program.form1View().minimized);
}

TEST(StartUp, AFailedAddStillStartsTheAnimation)
{
    FakeProgram program; // the fixture starts at once; make a second program without a tray
    testing::FakePlatform platform;
    platform.tray.isAvailable = false;
    testing::FakeViews views;
    Application app(platform.ports, views);
    app.start();
    EXPECT_TRUE(app.form1().Timer1.enabled());
    EXPECT_TRUE(platform.tray.icons.empty());
}

struct Sweeper : ::testing::Test {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;
    void SetUp() override
    {
        files.files["Directory.txt"] = "/games/mm2/MM2.LOCK\r\n";
        files.files["/games/mm2/MM2.LOCK"] = "";
    }
    bool lockExists() { return files.files.contains("/games/mm2/MM2.LOCK"); }
};

TEST_F(Sweeper, NothingIsDeletedBeforeTurnOn)
{
    program.platform.clock.advance(60'000);
    EXPECT_TRUE(files.removeAttempts.empty());
}

TEST_F(Sweeper, TurnOnDeletesTheLockFileAtEachPeriod)
{
    program.form1().turnOn();
    EXPECT_TRUE(program.form1().Timer2.enabled());
    EXPECT_TRUE(program.form1().Timer3.enabled());
    // The first refresher tick moves the period from 6000 to the default 10000 ms.
    program.platform.clock.advance(10'999);
    EXPECT_TRUE(lockExists());
    program.platform.clock.advance(1);
    EXPECT_FALSE(lockExists());
    files.files["/games/mm2/MM2.LOCK"] = "";
    program.platform.clock.advance(10'000);
    EXPECT_FALSE(lockExists());
    EXPECT_EQ(files.removed.size(), 2u);
}

TEST_F(Sweeper, TurnOffStopsBothTimersAndTheSweeps)
{
    program.form1().turnOn();
    program.platform.clock.advance(11'000);
    program.form1().turnOff();
    EXPECT_FALSE(program.form1().Timer2.enabled());
    EXPECT_FALSE(program.form1().Timer3.enabled());
    files.files["/games/mm2/MM2.LOCK"] = "";
    program.platform.clock.advance(100'000);
    EXPECT_TRUE(lockExists());
}

TEST_F(Sweeper, TurnOffAndOnAtOnceWaitsAFullPeriodWithTheLastPeriod)
{
    program.form1().turnOn();
    program.platform.clock.advance(15'000); // period now 10000, one sweep at 11000
    program.form1().turnOff();
    program.form1().turnOn();
    EXPECT_EQ(program.form1().Timer2.interval(), 10'000);
    files.files["/games/mm2/MM2.LOCK"] = "";
    program.platform.clock.advance(9'999);
    EXPECT_TRUE(lockExists());
    program.platform.clock.advance(1);
    EXPECT_FALSE(lockExists());
}

TEST_F(Sweeper, TurnOnWhileOnKeepsTheCountdown)
{
    program.form1().turnOn();
    program.platform.clock.advance(10'000);
    program.form1().turnOn();
    program.platform.clock.advance(1'000);
    EXPECT_FALSE(lockExists());
}

TEST(Shutdown, CloseRemovesTheIconOnceAndEnds)
{
    FakeProgram program;
    program.form1().onCloseRequest();
    program.form1().onCloseRequest(); // unload and termination carry the same sequence
    auto& tray = program.platform.tray;
    ASSERT_EQ(tray.calls.back().message, kNimDelete);
    EXPECT_EQ(std::count_if(tray.calls.begin(), tray.calls.end(), [](auto& c) { return c.message == kNimDelete; }), 1);
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(program.platform.process.endCount, 1);
    EXPECT_TRUE(program.app.ended());
}

TEST(Shutdown, FileExitAfterAnimationRemovesTheRegisteredIdAndIgnoresLaterEvents)
{
    FakeProgram program;
    program.platform.files.files["Directory.txt"] = "lock\r\n";
    program.platform.files.files["lock"] = "";
    program.form1().turnOn();
    program.platform.clock.advance(5'500); // several animation frames
    program.form1().onCommand(Command::Exit);
    EXPECT_TRUE(program.platform.tray.icons.empty());
    EXPECT_EQ(program.platform.tray.calls.back().record.uID, static_cast<std::int32_t>(FakeForm1View::kDesignIcon));
    EXPECT_EQ(program.platform.process.endCount, 1);
    program.platform.clock.advance(60'000);
    EXPECT_TRUE(program.platform.files.files.contains("lock"));
    program.form1().onCommand(Command::OpenHelp);
    EXPECT_FALSE(program.app.help().exists());
}

TEST(Minimize, MinimisesThenHidesAndKeepsTimersRunning)
{
    FakeProgram program;
    program.form1().turnOn();
    program.form1().onCommand(Command::Minimize);
    EXPECT_TRUE(program.form1View().minimized);
    EXPECT_FALSE(program.form1View().visible);
    EXPECT_TRUE(program.form1().Timer1.enabled());
    EXPECT_TRUE(program.form1().Timer2.enabled());
}

TEST(Minimize, WithoutANotificationAreaTheWindowStaysOnTheTaskBar)
{
    FakeProgram program;
    program.platform.tray.isAvailable = false;
    program.form1().onCommand(Command::Minimize);
    EXPECT_TRUE(program.form1View().minimized);
    EXPECT_TRUE(program.form1View().visible);
}

TEST(WindowInstances, OpeningTwiceGivesOneWindowBroughtForward)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenGameDirectory);
    Form2* first = program.app.form2().get();
    program.form1().onCommand(Command::OpenGameDirectory);
    EXPECT_EQ(program.app.form2().get(), first);
    EXPECT_EQ(program.views.form2View->showCount, 2);
}

TEST(WindowInstances, ObtainCreatesHiddenAndShowReusesIt)
{
    FakeProgram program;
    Form3& hidden = program.app.form3().obtain();
    EXPECT_FALSE(program.views.form3View->shown);
    program.views.form3View->text = "typed";
    program.form1().onCommand(Command::OpenAutoDelete);
    EXPECT_EQ(&program.app.form3().obtain(), &hidden);
    EXPECT_TRUE(program.views.form3View->shown);
    EXPECT_EQ(hidden.text1(), "typed");
}

TEST(WindowInstances, DiscardGivesAFreshInstanceNextTime)
{
    FakeProgram program;
    program.form1().onCommand(Command::OpenAbout);
    const int before = program.views.created;
    program.app.about().discard();
    EXPECT_FALSE(program.app.about().exists());
    program.form1().onCommand(Command::OpenAbout);
    EXPECT_EQ(program.views.created, before + 1);
}

// Flattens a menu tree as "caption>caption|..." for an exact comparison.
std::string flatten(std::span<const MenuItem> items)
{
    std::string out;
    for (const auto& item : items) {
        out += "[" + std::string(item.name) + ":" + std::string(item.caption);
        if (!item.children.empty())
            out += " " + flatten(item.children);
        out += "]";
    }
    return out;
}

TEST(Menus, MenuBarIsExact)
{
    EXPECT_EQ(flatten(mainMenuBar()), "[file:File [exit:Exit]][settingsm:Settings [settings:Settings [settingsdir:MM2 "
                                      "Directory][settingadelete:Auto Delete]]][helpm:Help [help:Help][about:About]]"
                                      "[minimize:" + std::string(43, ' ') + "Minimize]");
    EXPECT_EQ(mainMenuBar().back().command, Command::Minimize);
}

TEST(Menus, PopupIsExact)
{
    EXPECT_EQ(flatten(popupMenu()), "[filemenu:File [exit:Exit]][setmenu:Settings [settings:Settings [mm2dir:MM2 "
                                    "Directory][autodelete:Auto-Delete]]][helpmenu:Help [help:Help][about:About]]"
                                    "[show:Show Main Window]");
}

TEST(Menus, NoCaptionCarriesAnAccessKey)
{
    auto check = [](auto&& self, std::span<const MenuItem> items) -> void {
        for (const auto& item : items) {
            EXPECT_EQ(item.caption.find('&'), std::string_view::npos) << item.name;
            self(self, item.children);
        }
    };
    check(check, mainMenuBar());
    check(check, popupMenu());
}

TEST(Layout, MainWindowGeometryInPixelsAt96Dpi)
{
    const auto& spec = form1Spec();
    EXPECT_EQ(spec.caption, "Latchsweep");
    EXPECT_EQ(twipsToPixels(spec.clientWidth, 15.0), 312);
    EXPECT_EQ(twipsToPixels(spec.clientHeight, 15.0), 66);
    EXPECT_EQ(twipsToPixels(spec.controls[1].rect.width, 15.0), 137);
    EXPECT_DOUBLE_EQ(twipsPerPixelForDpi(96), 15.0);
    EXPECT_DOUBLE_EQ(twipsPerPixelForDpi(144), 10.0);
}

} // namespace
} // namespace latchsweep
