#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "about/frm_about.h"
#include "about/frm_help.h"
#include "app/application.h"
#include "app/form1.h"
#include "fake_views.h"
#include "settings/form2.h"
#include "settings/form3.h"
#include "tray/callback.h"
#include "tray/form4.h"

namespace latchsweep {
namespace {

using testing::FakeForm1View;
using testing::FakeProgram;

TEST(TrayDecoding, TheCodeTimesTwipsPerPixelDecodesExactly)
{
    for (const double twipsPerPixel : {15.0, 12.0, 10.0, 1440.0 / 110, 1440.0 / 73})
        for (std::int32_t code = 512; code <= 521; ++code)
            EXPECT_EQ(decodeTrayMessage(code * twipsPerPixel, twipsPerPixel), code) << twipsPerPixel;
}

TEST(TrayDecoding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(decodeTrayMessage(515.5 * 15, 15), 516);
    EXPECT_EQ(decodeTrayMessage(516.5 * 15, 15), 516);
    EXPECT_EQ(decodeTrayMessage(514.5 * 15, 15), 514);
    EXPECT_EQ(decodeTrayMessage(517.5 * 15, 15), 518);
    EXPECT_EQ(decodeTrayMessage(2.5 * 15, 15), 2);
    EXPECT_EQ(decodeTrayMessage(-0.5 * 15, 15), 0);
    EXPECT_EQ(decodeTrayMessage(-1.5 * 15, 15), -2);
    EXPECT_EQ(decodeTrayMessage(517.49 * 15, 15), 517);
    EXPECT_EQ(decodeTrayMessage(516.51 * 15, 15), 517);
}

TEST(TrayDecoding, WhatFitsNoThirtyTwoBitNumberIsNoCode)
{
    EXPECT_EQ(decodeTrayMessage(2147483647.0 * 15, 15), 2147483647);
    EXPECT_EQ(decodeTrayMessage(-2147483648.0 * 15, 15), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(decodeTrayMessage(2147483648.0 * 15, 15));
    EXPECT_FALSE(decodeTrayMessage(-2147483649.0 * 15, 15));
    EXPECT_FALSE(decodeTrayMessage(std::numeric_limits<double>::quiet_NaN(), 15));
    EXPECT_FALSE(decodeTrayMessage(std::numeric_limits<double>::infinity(), 15));
    EXPECT_FALSE(decodeTrayMessage(515 * 15, 0));
}

struct TrayCallback : ::testing::Test {
    FakeProgram program;
    Form1& form1 = program.form1();
    FakeForm1View& window = program.form1View();

    void callback(std::int32_t code) { form1.onMouseMove(code * window.twipsPerPixel); }
    void rightClick(Command choice)
    {
        if (!program.app.form4().exists()) {
            program.app.form4().obtain();
        }
        program.views.form4View->choice = choice;
        callback(kRightButtonUp);
    }
    testing::FakeForm4View& popupView() { return *program.views.form4View; }
    void minimize()
    {
        form1.onCommand(Command::Minimize);
        ASSERT_FALSE(window.visible);
        ASSERT_TRUE(window.minimized);
    }
};

TEST_F(TrayCallback, DoubleClickRestoresTheHiddenWindow)
{
    minimize();
    callback(kLeftButtonDoubleClick);
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_EQ(form1.TrayMessage, 515);

    callback(kLeftButtonDoubleClick); // already shown: stays so
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_FALSE(program.app.form4().exists());
}

TEST_F(TrayCallback, OtherCodesDoNothing)
{
    minimize();
    for (const std::int32_t code : {0, kMouseMove, kLeftButtonDown, kLeftButtonUp, kRightButtonDown, 518,
                                    kMiddleButtonDown, 520, -515, -517}) {
        callback(code);
        EXPECT_EQ(form1.TrayMessage, code);
    }
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(program.app.form4().exists());
}

TEST_F(TrayCallback, MovementInsideTheWindowNeverActs)
{
    minimize(); // restored only by a 515, which would show here
    const int width = twipsToPixels(form1Spec().clientWidth, window.twipsPerPixel);
    ASSERT_EQ(width, 312);
    for (int pixel = 0; pixel < width; ++pixel)
        for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
            form1.onMouseMove((pixel + fraction) * window.twipsPerPixel);
            ASSERT_LE(form1.TrayMessage, width);
        }
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(program.app.form4().exists());
}

TEST_F(TrayCallback, AnUndecodableEventIsDroppedNotActedOnWithTheLastCode)
{
    callback(kRightButtonUp);
    ASSERT_EQ(popupView().popups, 1);
    form1.onMouseMove(std::numeric_limits<double>::max());
    EXPECT_EQ(popupView().popups, 1);
    EXPECT_EQ(form1.TrayMessage, kRightButtonUp);
}

TEST_F(TrayCallback, RightButtonUpPopsTheMenuOfAHiddenForm4)
{
    EXPECT_FALSE(program.app.form4().exists());
    callback(kRightButtonUp);
    ASSERT_TRUE(program.app.form4().exists());
    EXPECT_EQ(popupView().popups, 1);
    EXPECT_EQ(popupView().showCount, 0);
    EXPECT_FALSE(popupView().isShown());

    Form4* carrier = program.app.form4().get();
    minimize(); // the same pop-up, whether the window is shown or hidden
    callback(kRightButtonUp);
    EXPECT_EQ(program.app.form4().get(), carrier);
    EXPECT_EQ(popupView().popups, 2);
    EXPECT_EQ(popupView().showCount, 0);
}

TEST_F(TrayCallback, DismissingThePopUpDoesNothing)
{
    minimize();
    rightClick(Command::None);
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(program.app.form4().exists());
    EXPECT_EQ(program.platform.process.endCount, 0);
}

TEST_F(TrayCallback, ARightClickWhileTheMenuIsUpOpensNoSecondOne)
{
    program.app.form4().obtain();
    int nested = 0;
    popupView().whilePopped = [&] {
        if (nested++ == 0)
            callback(kRightButtonUp);
    };
    popupView().choice = Command::ShowMainWindow;
    callback(kRightButtonUp);
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(program.app.form4().exists()); // the one command ran once, after the menu closed

    callback(kRightButtonUp); // and the guard does not outlive the pop-up
    EXPECT_TRUE(program.app.form4().exists());
}

TEST_F(TrayCallback, EachWindowCommandShowsItsWindow)
{
    rightClick(Command::OpenGameDirectory);
    ASSERT_TRUE(program.app.form2().exists());
    EXPECT_TRUE(program.views.form2View->shown);

    rightClick(Command::OpenAutoDelete);
    ASSERT_TRUE(program.app.form3().exists());
    EXPECT_TRUE(program.views.form3View->shown);

    rightClick(Command::OpenHelp);
    ASSERT_TRUE(program.app.help().exists());
    EXPECT_TRUE(program.views.helpView->shown);

    rightClick(Command::OpenAbout);
    ASSERT_TRUE(program.app.about().exists());
    EXPECT_TRUE(program.views.aboutView->shown);

    EXPECT_TRUE(program.app.form4().exists()); // only Show Main Window discards it
    EXPECT_EQ(program.platform.process.endCount, 0);
}

TEST_F(TrayCallback, MM2DirectoryTwiceBringsTheOneWindowForward)
{
    rightClick(Command::OpenGameDirectory);
    Form2* first = program.app.form2().get();
    rightClick(Command::OpenGameDirectory);
    EXPECT_EQ(program.app.form2().get(), first);
    EXPECT_EQ(program.views.form2View->showCount, 2);
}

TEST_F(TrayCallback, ShowMainWindowRestoresAndDiscardsForm4)
{
    minimize();
    rightClick(Command::ShowMainWindow);
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_FALSE(program.app.form4().exists());

    const int created = program.views.created;
    callback(kRightButtonUp); // the next pop-up comes from a fresh Form4
    EXPECT_EQ(program.views.created, created + 1);
    EXPECT_EQ(popupView().popups, 1);
}

TEST_F(TrayCallback, ExitAfterLongAnimationRemovesTheRegisteredIconOnceAndEnds)
{
    program.platform.clock.advance(3'600'000); // an hour of frames
    ASSERT_NE(window.currentIcon, FakeForm1View::kDesignIcon);
    rightClick(Command::Exit);

    auto& tray = program.platform.tray;
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(std::count_if(tray.calls.begin(), tray.calls.end(), [](auto& c) { return c.message == kNimDelete; }), 1);
    EXPECT_EQ(tray.calls.back().record.uID, static_cast<std::int32_t>(FakeForm1View::kDesignIcon));
    EXPECT_EQ(program.platform.process.endCount, 1);

    // Nothing runs after the end: no tick, no second pop-up, no second delete.
    const auto calls = tray.calls.size();
    program.platform.clock.advance(5'000);
    callback(kRightButtonUp);
    form1.onCloseRequest();
    EXPECT_EQ(tray.calls.size(), calls);
    EXPECT_EQ(popupView().popups, 1);
}

// A program whose start the test controls, for notification areas that come and go.
struct Desktop {
    testing::FakePlatform platform;
    testing::FakeViews views;
    Application app{platform.ports, views};
    FakeForm1View& window() { return *views.form1View; }
    void minimize() { app.form1().onCommand(Command::Minimize); }
};

TEST(StartUpTray, AddsTheTipBeforeTheAnimationStarts)
{
    struct Recording : testing::FakeTray {
        std::function<void()> onNotify;
        bool notify(std::uint32_t message, const NotifyIconData& record) override
        {
            onNotify();
            return FakeTray::notify(message, record);
        }
    };
    Desktop desktop;
    Recording tray;
    Platform ports = desktop.platform.ports;
    Platform withTray{ports.timers, ports.files, ports.messages, ports.process, tray, ports.registry, ports.launcher};
    Application app(withTray, desktop.views);
    bool timerEnabledAtAdd = true;
    tray.onNotify = [&] { timerEnabledAtAdd = app.form1().Timer1.enabled(); };
    app.start();
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_FALSE(timerEnabledAtAdd);
    EXPECT_EQ(std::string(tray.calls[0].record.szTip.data()), "Latchsweep");
    EXPECT_EQ(tray.calls[0].record.hIcon, FakeForm1View::kDesignIcon);
    EXPECT_TRUE(app.form1().Timer1.enabled());
}

TEST(NoWayBack, AnAreaThatRefusedOurIconDoesNotCount)
{
    Desktop desktop;
    // The area is there but the add is refused (here: the pair is taken).
    desktop.platform.tray.icons[{FakeForm1View::kHandle, static_cast<std::int32_t>(FakeForm1View::kDesignIcon)}] = {};
    desktop.app.start();
    ASSERT_FALSE(desktop.app.module1().iconShown());
    desktop.minimize();
    EXPECT_TRUE(desktop.window().visible);
}

TEST(LostIcon, AnAreaThatAppearsLaterGetsTheIconUnderTheSameId)
{
    Desktop desktop;
    auto& tray = desktop.platform.tray;
    tray.isAvailable = false;
    desktop.app.start();
    desktop.platform.clock.advance(3'000); // three frames, every modify refused
    EXPECT_TRUE(tray.icons.empty());

    tray.isAvailable = true;
    desktop.app.form1().onNotificationAreaCreated();
    const auto& added = tray.calls.back();
    EXPECT_EQ(added.message, kNimAdd);
    EXPECT_EQ(added.record.hWnd, FakeForm1View::kHandle);
    EXPECT_EQ(added.record.uID, static_cast<std::int32_t>(FakeForm1View::kDesignIcon));
    EXPECT_EQ(added.record.hIcon, 0x100u); // the frame on show now, not the design-time icon
    EXPECT_EQ(std::string(added.record.szTip.data()), "Latchsweep");
    EXPECT_EQ(tray.icons.size(), 1u);

    desktop.platform.clock.advance(1'000);
    EXPECT_EQ(tray.icons.begin()->second.hIcon, 0x200u); // the animation reaches it again
    desktop.minimize();
    EXPECT_FALSE(desktop.window().visible);
}

TEST(LostIcon, ARestartedAreaNeverStrandsAHiddenProgram)
{
    Desktop desktop;
    auto& tray = desktop.platform.tray;
    desktop.app.start();
    desktop.minimize();
    ASSERT_FALSE(desktop.window().visible);

    tray.icons.clear(); // the shell restarts and forgets every icon
    desktop.platform.clock.advance(1'000);
    EXPECT_FALSE(desktop.app.module1().iconShown());

    desktop.app.form1().onNotificationAreaCreated();
    ASSERT_EQ(tray.icons.size(), 1u);
    desktop.app.form1().onMouseMove(kLeftButtonDoubleClick * 15.0);
    EXPECT_TRUE(desktop.window().visible);

    // Exit removes the re-added icon, once.
    desktop.app.form1().onNotificationAreaCreated(); // a second broadcast: the add is refused
    desktop.app.form4().obtain();
    desktop.views.form4View->choice = Command::Exit;
    desktop.app.form1().onMouseMove(kRightButtonUp * 15.0);
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(desktop.platform.process.endCount, 1);

    const auto calls = tray.calls.size();
    desktop.app.form1().onNotificationAreaCreated(); // after the end: nothing
    EXPECT_EQ(tray.calls.size(), calls);
}

TEST(PopupMenu, Form4CarriesTheMenuUnderItsCaption)
{
    EXPECT_EQ(form4Spec().name, "Form4");
    EXPECT_EQ(form4Spec().caption, "Icon Popup Menu");
    EXPECT_TRUE(form4Spec().controls.empty());
    EXPECT_EQ(form4Menu().name, "Menu");
    ASSERT_EQ(form4Menu().children.size(), 4u);
    EXPECT_EQ(form4Menu().children.data(), popupMenu().data());
}

} // namespace
} // namespace latchsweep
