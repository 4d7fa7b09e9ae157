#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/base/menu.h"
#include "core/base/product.h"
#include "core/settings/form3.h"
#include "core/tray/callback.h"
#include "core/tray/form4.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

using testing::FakeProgram;
using testing::FakeView;

constexpr auto kIconId = static_cast<std::int32_t>(FakeView::iconOf(IconId::Magnet));

TEST(StartUp, RegistersTheIconWithItsTipThenStartsOnlyTheAnimation)
{
    struct Recording : testing::FakeTray { // notes whether the animation ran when the icon was added
        std::function<void()> onNotify;
        bool notify(std::uint32_t message, const NotifyIconData& record) override
        {
            onNotify();
            return FakeTray::notify(message, record);
        }
    } tray;
    testing::FakePlatform platform;
    testing::FakeViews views;
    Platform ports{platform.clock, platform.files,    platform.messages, platform.process,
                   tray,           platform.registry, &platform.launcher};
    Application app(ports, views);
    bool animatingAtAdd = true;
    tray.onNotify = [&] { animatingAtAdd = app.form1().Timer1().enabled(); };
    app.start();

    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_FALSE(animatingAtAdd);
    const NotifyIconData& added = tray.calls[0].record;
    EXPECT_EQ(tray.calls[0].message, kNimAdd);
    EXPECT_EQ(added.uID, kIconId);
    EXPECT_EQ(added.hWnd, FakeView::kHandle);
    EXPECT_EQ(added.hIcon, FakeView::iconOf(IconId::Magnet));
    EXPECT_EQ(std::string(added.szTip.data()), kAppTitle);
    EXPECT_EQ(form1Layout().caption, kAppTitle); // one title: the caption, the tip, the boxes' title
    EXPECT_EQ(app.form1().IconObject(), FakeView::iconOf(IconId::Magnet));
    EXPECT_TRUE(app.form1().Timer1().enabled());
    EXPECT_FALSE(app.form1().Timer2().enabled());
    EXPECT_FALSE(app.form1().Timer3().enabled());
    EXPECT_EQ(app.form1().Timer2().interval(), Form1::kTimer2Period);
    EXPECT_TRUE(views.newest["Form1"]->visible);
    EXPECT_FALSE(views.newest["Form1"]->minimized);
}

TEST(Sweeper, KeepsTheExactPeriodWhileTheOnceASecondTicksMayShareTheirWakeUp)
{
    FakeProgram program;
    using enum TimerAccuracy;
    // Timer1, Timer2, Timer3: only the sweep's own period is the user's to choose.
    EXPECT_EQ(program.platform.clock.accuracies(), (std::vector{WholeSeconds, Exact, WholeSeconds}));
}

TEST(Sweeper, TurnOnDeletesTheLockFileAtEachPeriodAndTurnOffStops)
{
    FakeProgram program;
    Form1& form1 = program.form1();
    auto& files = program.platform.files.files;
    files["Directory.txt"] = "/games/mm2/MM2.LOCK\r\n";
    const auto sweptWithin = [&](std::int64_t ms) { // puts the lock file back, waits, tells whether it went
        files["/games/mm2/MM2.LOCK"] = "";
        program.platform.clock.advance(ms);
        return !files.contains("/games/mm2/MM2.LOCK");
    };
    EXPECT_FALSE(sweptWithin(60'000)); // nothing before Turn ON
    form1.turnOn();
    EXPECT_FALSE(sweptWithin(999));
    EXPECT_FALSE(program.app.form3().exists());
    EXPECT_EQ(form1.Timer2().interval(), 6000);
    // The first refresher tick brings Form3 into being, hidden, and applies its default 10000 ms.
    EXPECT_FALSE(sweptWithin(1));
    ASSERT_TRUE(program.app.form3().exists());
    EXPECT_FALSE(program.views.newest["Form3"]->visible);
    EXPECT_EQ(form1.Timer2().interval(), 10000);
    EXPECT_FALSE(sweptWithin(9'999));
    EXPECT_TRUE(sweptWithin(1));
    EXPECT_TRUE(sweptWithin(10'000));
    form1.turnOff();
    EXPECT_FALSE(form1.Timer2().enabled());
    EXPECT_FALSE(form1.Timer3().enabled());
    EXPECT_FALSE(sweptWithin(100'000));
    EXPECT_TRUE(program.platform.messages.shown.empty());
}

// Every way out removes the registered icon once, ends the process once, and nothing acts after.
TEST(WaysOut, RemoveTheRegisteredIconOnceEndAndIgnoreLaterEvents)
{
    const std::pair<const char*, std::function<void(FakeProgram&)>> ways[] = {
        {"close request", [](FakeProgram& p) { p.form1().onClose(); }},
        {"File > Exit", [](FakeProgram& p) { p.form1().onCommand(Command::Exit); }},
        {"pop-up Exit", [](FakeProgram& p) {
             p.app.form4().obtain();
             p.views.newest["Form4"]->choice = Command::Exit;
             p.form1().onMouseMove(kRightButtonUp * 15.0);
         }}};
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        FakeProgram program;
        auto& tray = program.platform.tray;
        program.platform.files.files = {{"Directory.txt", "lock\r\n"}, {"lock", ""}};
        program.form1().turnOn();
        program.platform.clock.advance(5'500); // the icon has changed frames since the add
        ASSERT_NE(program.form1View().windowIcon(), FakeView::iconOf(IconId::Magnet));
        leave(program);
        EXPECT_TRUE(tray.icons.empty());
        EXPECT_EQ(tray.calls.back().message, kNimDelete);
        EXPECT_EQ(tray.calls.back().record.uID, kIconId);
        EXPECT_EQ(program.platform.process.endCount, 1);

        const auto calls = tray.calls.size();
        const int created = program.views.created;
        const auto popups = [&] { return program.views.newest["Form4"] ? program.views.newest["Form4"]->popups : 0; };
        const int popped = popups();
        program.platform.clock.advance(60'000);
        program.form1().onClose();
        program.form1().onCommand(Command::OpenHelp);
        program.form1().onMouseMove(kRightButtonUp * 15.0);
        program.form1().onNotificationAreaCreated();
        EXPECT_EQ(tray.calls.size(), calls);
        EXPECT_EQ(program.platform.process.endCount, 1);
        EXPECT_EQ(program.views.created, created);
        EXPECT_EQ(popups(), popped);
        EXPECT_TRUE(program.platform.files.files.contains("lock"));
    }
}

TEST(Minimize, HidesOnlyWhenTheIconIsOnShowAndKeepsTimersRunning)
{
    // {a notification area is there now, our (window, id) pair was taken so the add was refused, hidden}
    for (const auto& [available, taken, hidden] :
         {std::tuple{true, false, true}, {false, false, false}, {true, true, false}}) {
        SCOPED_TRACE(::testing::Message() << available << taken);
        testing::FakePlatform platform;
        testing::FakeViews views;
        if (taken)
            platform.tray.icons[{FakeView::kHandle, kIconId}] = {};
        Application app(platform.ports, views);
        app.start();
        platform.tray.isAvailable = available;
        app.form1().turnOn();
        app.form1().onCommand(Command::Minimize);
        EXPECT_TRUE(views.newest["Form1"]->minimized);
        EXPECT_EQ(views.newest["Form1"]->visible, !hidden);
        EXPECT_TRUE(app.form1().Timer1().enabled());
        EXPECT_TRUE(app.form1().Timer2().enabled());
    }
}

TEST(NotificationAreaGone, BringsOnlyAHiddenWindowBackMinimisedOnTheTaskBar)
{
    // {what happened before the area went, shown afterwards, minimised afterwards}
    const std::tuple<const char*, std::function<void(FakeProgram&)>, bool, bool> cases[] = {
        {"hidden by Minimize", [](FakeProgram& p) { p.form1().onCommand(Command::Minimize); }, true, true},
        {"shown normal", [](FakeProgram&) {}, true, false},
        {"restored",
         [](FakeProgram& p) {
             p.form1().onCommand(Command::Minimize);
             p.form1().onMouseMove(kLeftButtonDoubleClick * 15.0);
         },
         true, false},
        {"ended while hidden",
         [](FakeProgram& p) {
             p.form1().onCommand(Command::Minimize);
             p.form1().onCommand(Command::Exit);
         },
         false, true}};
    for (const auto& [name, before, shown, minimized] : cases) {
        SCOPED_TRACE(name);
        FakeProgram program;
        before(program);
        const auto calls = program.platform.tray.calls.size();
        program.platform.tray.isAvailable = false;
        program.form1().onNotificationAreaGone();
        EXPECT_EQ(program.form1View().visible, shown);
        EXPECT_EQ(program.form1View().minimized, minimized);
        EXPECT_EQ(program.platform.tray.calls.size(), calls); // the icon is the area's business now
        // A later Minimize keeps the window where the desktop can reach it.
        program.form1().onCommand(Command::Minimize);
        EXPECT_EQ(program.form1View().visible, shown);
    }
}

TEST(HostPopup, CarriesForm4sCommandsWithTheSameRulesAsThePopUp)
{
    FakeProgram program;
    program.form1().onCommand(Command::Minimize);
    program.form1().onHostPopupShown();
    ASSERT_TRUE(program.app.form4().exists());
    EXPECT_EQ(program.views.newest["Form4"]->popups, 0); // the host draws the menu
    EXPECT_FALSE(program.views.newest["Form4"]->visible);
    program.form1().onHostPopupChosen(Command::OpenHelp);
    EXPECT_TRUE(program.app.help().exists());
    EXPECT_TRUE(program.app.form4().exists());
    program.form1().onHostPopupChosen(Command::ShowMainWindow);
    EXPECT_TRUE(program.form1View().visible);
    EXPECT_FALSE(program.form1View().minimized);
    EXPECT_FALSE(program.app.form4().exists());
    // A choice reported without the host asking first still finds Form4 there, and Exit ends.
    program.form1().onHostPopupChosen(Command::Exit);
    EXPECT_TRUE(program.platform.tray.icons.empty());
    EXPECT_EQ(program.platform.process.endCount, 1);
    const int created = program.views.created;
    program.form1().onHostPopupShown();
    program.form1().onHostPopupChosen(Command::OpenAbout);
    EXPECT_EQ(program.views.created, created);
}

void expectNoAccessKey(std::span<const MenuItem> items)
{
    for (const auto& item : items) {
        EXPECT_EQ(item.caption.find('&'), std::string_view::npos) << item.name;
        expectNoAccessKey(item.children);
    }
}

TEST(MenusAndLayout, NoCaptionCarriesAnAccessKeyForm4CarriesThePopUpAndTwipsFollowTheResolution)
{
    expectNoAccessKey(mainMenuBar());
    expectNoAccessKey(popupMenu());
    EXPECT_EQ(mainMenuBar().back().command, Command::Minimize);
    EXPECT_EQ(form4Menu().children.data(), popupMenu().data());
    EXPECT_TRUE(form4Layout().controls.empty());
    EXPECT_DOUBLE_EQ(twipsPerPixelForDpi(96), 15.0);
    EXPECT_DOUBLE_EQ(twipsPerPixelForDpi(144), 10.0);
    EXPECT_DOUBLE_EQ(twipsPerPixelForDpi(0), 15.0);
}

} // namespace
} // namespace latchsweep
