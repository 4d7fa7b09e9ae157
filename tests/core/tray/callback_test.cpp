#include <gtest/gtest.h>

#include <limits>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/tray/callback.h"
#include "core/tray/form4.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

constexpr IconHandle kFrame1 = testing::FakeView::iconOf(IconId::Frame1);
constexpr IconHandle kFrame2 = testing::FakeView::iconOf(IconId::Frame2);

using testing::FakeProgram;
using testing::FakeView;

TEST(TrayDecoding, TheCodeComesBackExactlyHalvesGoToTheEvenNeighbourAndWhatFitsNoInt32IsNoCode)
{
    for (const double twipsPerPixel : {15.0, 12.0, 10.0, 1440.0 / 110, 1440.0 / 73})
        for (std::int32_t code = 512; code <= 521; ++code)
            EXPECT_EQ(decodeTrayMessage(code * twipsPerPixel, twipsPerPixel), code) << twipsPerPixel;
    const std::pair<double, std::int32_t> rounded[] = {{515.5, 516},
                                                       {516.5, 516},
                                                       {514.5, 514},
                                                       {517.5, 518},
                                                       {2.5, 2},
                                                       {-0.5, 0},
                                                       {-1.5, -2},
                                                       {517.49, 517},
                                                       {516.51, 517},
                                                       {2147483647.0, 2147483647},
                                                       {-2147483648.0, std::numeric_limits<std::int32_t>::min()}};
    for (const auto& [pixels, code] : rounded)
        EXPECT_EQ(decodeTrayMessage(pixels * 15, 15), code) << pixels;
    for (const double pixels : {2147483648.0, -2147483649.0, std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity()})
        EXPECT_EQ(decodeTrayMessage(pixels * 15, 15), std::nullopt) << pixels;
    EXPECT_EQ(decodeTrayMessage(515 * 15, 0), std::nullopt);
    EXPECT_EQ(decodeTrayMessage(515 * 15, -15), std::nullopt);
}

struct TrayCallback : ::testing::Test {
    FakeProgram program;
    Form1& form1 = program.form1();
    FakeView& window = program.form1View();

    void callback(std::int32_t code) { form1.onMouseMove(code * window.twipsPerPixel); }
    void rightClick(Command choice)
    {
        program.app.form4().obtain();
        program.views.newest["Form4"]->choice = choice;
        callback(kRightButtonUp);
    }
    testing::FakeView& popupView() { return *program.views.newest["Form4"]; }
    void minimize()
    {
        form1.onCommand(Command::Minimize);
        ASSERT_FALSE(window.visible);
    }
};

TEST_F(TrayCallback, DoubleClickRestoresTheHiddenWindowAndNoOtherCodeOrMovementInsideTheWindowActs)
{
    minimize();
    for (const std::int32_t code :
         {0, kMouseMove, kLeftButtonDown, kLeftButtonUp, kRightButtonDown, 518, kMiddleButtonDown, 520, -515, -517}) {
        callback(code);
        EXPECT_EQ(form1.TrayMessage(), code);
    }
    // A drag inside the client area carries small X values; only those past its edge could decode as 515 or 517.
    const int width = twipsToPixels(form1Layout().clientWidth, window.twipsPerPixel);
    for (int pixel = 0; pixel < width; ++pixel)
        for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
            form1.onMouseMove((pixel + fraction) * window.twipsPerPixel);
            ASSERT_LE(form1.TrayMessage(), width);
        }
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(program.app.form4().exists());

    callback(kLeftButtonDoubleClick);
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    callback(kLeftButtonDoubleClick); // already shown: stays so
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(program.app.form4().exists());
}

TEST_F(TrayCallback, RightButtonUpPopsTheMenuOfOneHiddenForm4DismissingItOrNoiseDoesNothing)
{
    callback(kRightButtonUp);
    ASSERT_TRUE(program.app.form4().exists());
    EXPECT_EQ(popupView().popups, 1);
    Form4* carrier = program.app.form4().get();
    minimize(); // the same pop-up, whether the window is shown or hidden
    callback(kRightButtonUp);
    EXPECT_EQ(program.app.form4().get(), carrier);
    EXPECT_EQ(popupView().popups, 2);
    EXPECT_EQ(popupView().showCount, 0);
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(program.platform.process.endCount, 0);

    form1.onMouseMove(std::numeric_limits<double>::max()); // undecodable: dropped, not acted on as 517
    EXPECT_EQ(popupView().popups, 2);
    EXPECT_EQ(form1.TrayMessage(), kRightButtonUp);
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

TEST_F(TrayCallback, EachWindowCommandShowsItsWindowAndShowMainWindowRestoresAndDiscardsForm4)
{
    for (const Command command :
         {Command::OpenGameDirectory, Command::OpenAutoDelete, Command::OpenHelp, Command::OpenAbout})
        rightClick(command);
    ASSERT_TRUE(program.app.form2().exists() && program.app.form3().exists() && program.app.help().exists() &&
                program.app.about().exists());
    EXPECT_TRUE(program.views.newest["Form2"]->visible && program.views.newest["Form3"]->visible &&
                program.views.newest["frmHelp"]->visible && program.views.newest["frmAbout"]->visible);
    EXPECT_EQ(program.platform.process.endCount, 0);

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

TEST(LostIcon, AnAreaThatAppearsOrRestartsGetsTheIconUnderTheSameIdAndNeverStrandsAHiddenProgram)
{
    testing::FakePlatform platform;
    testing::FakeViews views;
    Application app{platform.ports, views};
    testing::FakeTray& tray = platform.tray;
    tray.isAvailable = false;
    app.start();
    platform.clock.advance(3'000); // three frames, every modify refused
    EXPECT_TRUE(tray.icons.empty());

    tray.isAvailable = true;
    app.form1().onNotificationAreaCreated();
    const NotifyIconData& added = tray.calls.back().record;
    EXPECT_EQ(tray.calls.back().message, kNimAdd);
    EXPECT_EQ(added.hWnd, FakeView::kHandle);
    EXPECT_EQ(added.uID, static_cast<std::int32_t>(FakeView::iconOf(IconId::Magnet)));
    EXPECT_EQ(added.hIcon, kFrame1); // the frame on show now, not the design-time icon
    EXPECT_EQ(std::string(added.szTip.data()), kAppTitle);
    platform.clock.advance(1'000);
    EXPECT_EQ(tray.icons.begin()->second.hIcon, kFrame2); // the animation reaches it again
    app.form1().onCommand(Command::Minimize);
    EXPECT_FALSE(views.newest["Form1"]->visible);

    tray.icons.clear(); // the shell restarts and forgets every icon
    platform.clock.advance(1'000);
    EXPECT_FALSE(app.module1().iconShown());
    app.form1().onNotificationAreaCreated();
    ASSERT_EQ(tray.icons.size(), 1u);
    app.form1().onMouseMove(kLeftButtonDoubleClick * 15.0);
    EXPECT_TRUE(views.newest["Form1"]->visible);

    app.form1().onNotificationAreaCreated(); // a second broadcast: that add is refused
    app.exitProgram();
    EXPECT_TRUE(tray.icons.empty()); // Exit still removes the icon
}

} // namespace
} // namespace latchsweep
