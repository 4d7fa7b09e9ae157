#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/application.h"
#include "app/form1.h"
#include "fake_views.h"
#include "tray/animation.h"

namespace latchsweep {
namespace {

using testing::FakeForm1View;
using testing::FakeProgram;

std::vector<int> run(Animation& animation, std::size_t frames, int ticks)
{
    std::vector<int> shown;
    for (int i = 0; i < ticks; ++i)
        shown.push_back(animation.step(frames));
    return shown;
}

TEST(AnimationCounter, StepsThroughEveryFrameThenWraps)
{
    Animation one;
    EXPECT_EQ(run(one, 1, 4), (std::vector{1, 1, 1, 1}));
    EXPECT_EQ(one.Counter, 0);

    Animation two;
    EXPECT_EQ(two.step(2), 1);
    EXPECT_EQ(two.Counter, 1);
    EXPECT_EQ(two.step(2), 2);
    EXPECT_EQ(two.Counter, 0);
    EXPECT_EQ(run(two, 2, 4), (std::vector{1, 2, 1, 2}));

    Animation three;
    EXPECT_EQ(run(three, 3, 7), (std::vector{1, 2, 3, 1, 2, 3, 1}));

    for (std::size_t frames = 1; frames <= 6; ++frames) {
        Animation animation;
        for (int tick = 1; tick <= 25; ++tick)
            ASSERT_EQ(animation.step(frames), (tick - 1) % static_cast<int>(frames) + 1) << frames << " " << tick;
    }
}

TEST(AnimationCounter, OverflowsAtTheSixteenBitBoundAndChangesNothing)
{
    Animation animation;
    animation.Counter = 32766;
    EXPECT_EQ(animation.step(40'000), 32767); // a long enough list reaches the bound
    try {
        animation.step(40'000);
        FAIL() << "no overflow";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 6);
    }
    EXPECT_EQ(animation.Counter, 32767);
}

TEST(AnimationCounter, AnEmptyListHasNoFrameToShow)
{
    Animation animation;
    try {
        animation.step(0);
        FAIL() << "a frame of an empty list";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 35600);
    }
}

struct Animating : ::testing::Test {
    FakeProgram program;
    testing::FakeTray& tray = program.platform.tray;

    void tick() { program.platform.clock.advance(Form1::kTimer1Period); }
    const testing::TrayCall& last() { return tray.calls.back(); }
};

TEST_F(Animating, WindowAndTrayStepTogetherUnderTheIdOfIconObject)
{
    // Until the first tick the tray shows the design-time icon of the add.
    program.platform.clock.advance(999);
    ASSERT_EQ(tray.calls.size(), 1u);
    EXPECT_EQ(tray.calls[0].record.hIcon, FakeForm1View::kDesignIcon);

    const std::vector<IconHandle> expected{0x100, 0x200, 0x100, 0x200, 0x100};
    for (const IconHandle frame : expected) {
        tick();
        EXPECT_EQ(program.form1View().currentIcon, frame);
        EXPECT_EQ(last().message, kNimModify);
        EXPECT_EQ(last().record.hIcon, frame);
        EXPECT_EQ(last().record.hWnd, FakeForm1View::kHandle);
        EXPECT_EQ(last().record.uID, static_cast<std::int32_t>(FakeForm1View::kDesignIcon));
        EXPECT_EQ(std::string(last().record.szTip.data()), "Latchsweep");
    }
    EXPECT_EQ(tray.calls.size(), 1u + expected.size());
    EXPECT_EQ(tray.icons.size(), 1u);
}

TEST_F(Animating, ListsOfOneAndThreeFrames)
{
    program.form1().ImageList1 = {0x300};
    for (int i = 0; i < 3; ++i) {
        tick();
        EXPECT_EQ(program.form1View().currentIcon, 0x300u);
        EXPECT_EQ(program.form1().animation.Counter, 0);
    }

    program.form1().ImageList1 = {0x301, 0x302, 0x303};
    std::vector<IconHandle> shown;
    for (int i = 0; i < 6; ++i) {
        tick();
        shown.push_back(last().record.hIcon);
    }
    EXPECT_EQ(shown, (std::vector<IconHandle>{0x301, 0x302, 0x303, 0x301, 0x302, 0x303}));
}

TEST_F(Animating, TheSweeperSwitchNeitherStopsNorResetsIt)
{
    tick();
    program.form1().turnOn();
    tick();
    EXPECT_EQ(program.form1View().currentIcon, 0x200u);
    program.form1().turnOff();
    tick();
    EXPECT_EQ(program.form1View().currentIcon, 0x100u);
    EXPECT_TRUE(program.form1().Timer1.enabled());
}

TEST_F(Animating, GoesOnWhileTheWindowIsHidden)
{
    program.form1().onCommand(Command::Minimize);
    ASSERT_FALSE(program.form1View().visible);
    tick();
    tick();
    tick();
    EXPECT_EQ(last().record.hIcon, 0x100u);
}

TEST_F(Animating, AnOverflowIsReportedAndEndsTheProgramWithoutChangingTheIcon)
{
    tick();
    program.form1().animation.Counter = 32767;
    tick();
    ASSERT_EQ(program.platform.messages.shown.size(), 1u);
    EXPECT_EQ(program.platform.messages.shown[0].text, "Run-time error '6':\n\nOverflow");
    EXPECT_EQ(program.form1View().currentIcon, 0x100u);
    EXPECT_EQ(program.platform.process.endCount, 1);
    EXPECT_TRUE(tray.icons.empty());
    const auto calls = tray.calls.size();
    program.platform.clock.advance(10'000);
    EXPECT_EQ(tray.calls.size(), calls);
}

} // namespace
} // namespace latchsweep
