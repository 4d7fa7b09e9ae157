#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/tray/animation.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

constexpr IconHandle kFrame1 = testing::FakeView::iconOf(IconId::Frame1);
constexpr IconHandle kFrame2 = testing::FakeView::iconOf(IconId::Frame2);

using testing::FakeView;

int errorOf(Animation& animation, std::size_t frames)
{
    try {
        animation.step(frames);
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(AnimationCounter, ShowsEveryFrameThenWrapsToZeroOverflowsAtTheSixteenBitBoundAndAnEmptyListHasNoFrame)
{
    const std::tuple<std::size_t, std::vector<int>, std::vector<int>> cases[] = {
        // frames, shown, Counter after
        {1, {1, 1, 1}, {0, 0, 0}},
        {2, {1, 2, 1, 2}, {1, 0, 1, 0}},
        {3, {1, 2, 3, 1, 2, 3, 1}, {1, 2, 0, 1, 2, 0, 1}}};
    for (const auto& [frames, shown, counter] : cases) {
        Animation animation;
        for (std::size_t tick = 0; tick < shown.size(); ++tick) {
            EXPECT_EQ(animation.step(frames), shown[tick]) << frames << " frames, tick " << tick;
            EXPECT_EQ(animation.Counter, counter[tick]) << frames << " frames, tick " << tick;
        }
    }
    Animation animation;
    animation.Counter = 32766;
    EXPECT_EQ(animation.step(40'000), 32767); // a long enough list reaches the bound
    EXPECT_EQ(errorOf(animation, 40'000), 6);
    EXPECT_EQ(animation.Counter, 32767);
    Animation empty;
    EXPECT_EQ(errorOf(empty, 0), 35600);
}

struct Animating : ::testing::Test {
    testing::FakeProgram program;
    testing::FakeTray& tray = program.platform.tray;
    void tick() { program.platform.clock.advance(Form1::kTimer1Period); }
    const NotifyIconData& last() { return tray.calls.back().record; }
};

TEST_F(Animating, WindowAndTrayStepTogetherUnderTheIdOfIconObjectWhateverTheSweeperOrTheWindowDo)
{
    program.platform.clock.advance(999); // until the first tick the tray shows the icon of the add
    ASSERT_EQ(tray.calls.size(), 1u);
    for (const IconHandle frame : {kFrame1, kFrame2, kFrame1}) {
        tick();
        EXPECT_EQ(program.form1View().windowIcon(), frame);
        EXPECT_EQ(tray.calls.back().message, kNimModify);
        EXPECT_EQ(last().hIcon, frame);
        EXPECT_EQ(last().hWnd, FakeView::kHandle);
        EXPECT_EQ(last().uID, static_cast<std::int32_t>(FakeView::iconOf(IconId::Magnet)));
        EXPECT_EQ(std::string(last().szTip.data()), kAppTitle);
    }
    EXPECT_EQ(tray.calls.size(), 4u);
    EXPECT_EQ(tray.icons.size(), 1u);

    program.form1().turnOn(); // neither the switch nor hiding stops or resets it
    tick();
    EXPECT_EQ(last().hIcon, kFrame2);
    program.form1().turnOff();
    tick();
    EXPECT_EQ(last().hIcon, kFrame1);
    program.form1().onCommand(Command::Minimize);
    ASSERT_FALSE(program.form1View().visible);
    tick();
    EXPECT_EQ(last().hIcon, kFrame2);
}

} // namespace
} // namespace latchsweep
