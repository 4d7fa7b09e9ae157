#include <gtest/gtest.h>

#include <vector>

#include "app/timer.h"
#include "virtual_clock.h"

namespace latchsweep {
namespace {

using testing::VirtualClock;

struct TimerRules : ::testing::Test {
    VirtualClock clock;
    std::vector<std::int64_t> expiries;
    Timer timer{clock, 1000, [this] { expiries.push_back(clock.now()); }};
};

TEST_F(TimerRules, DisabledTimerNeverExpires)
{
    clock.advance(10'000);
    EXPECT_TRUE(expiries.empty());
}

TEST_F(TimerRules, EnablingStartsAFreshCountdownAndRepeatsEveryPeriod)
{
    clock.advance(400);
    timer.setEnabled(true);
    clock.advance(3000);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1400, 2400, 3400}));
}

TEST_F(TimerRules, EnablingAnEnabledTimerKeepsItsCountdown)
{
    timer.setEnabled(true);
    clock.advance(700);
    timer.setEnabled(true);
    clock.advance(300);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1000}));
}

TEST_F(TimerRules, DisableThenEnableAtOnceWaitsOneFullPeriod)
{
    timer.setEnabled(true);
    clock.advance(900);
    timer.setEnabled(false);
    timer.setEnabled(true);
    clock.advance(999);
    EXPECT_TRUE(expiries.empty());
    clock.advance(1);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1900}));
}

TEST_F(TimerRules, SamePeriodLeavesTheCountdownAlone)
{
    timer.setEnabled(true);
    for (int i = 0; i < 9; ++i) {
        clock.advance(100);
        EXPECT_TRUE(timer.setInterval(1000));
    }
    clock.advance(100);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1000}));
}

TEST_F(TimerRules, ChangedPeriodRestartsFromTheAssignment)
{
    timer.setEnabled(true);
    clock.advance(600);
    EXPECT_TRUE(timer.setInterval(500));
    clock.advance(1100);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1100, 1600}));
    EXPECT_EQ(timer.interval(), 500);
}

TEST_F(TimerRules, PeriodChangedWhileDisabledAppliesAtTheNextEnable)
{
    EXPECT_TRUE(timer.setInterval(250));
    clock.advance(5000);
    EXPECT_TRUE(expiries.empty());
    timer.setEnabled(true);
    clock.advance(500);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{5250, 5500}));
}

TEST_F(TimerRules, PeriodZeroNeverExpiresButTheTimerStaysEnabled)
{
    timer.setEnabled(true);
    EXPECT_TRUE(timer.setInterval(0));
    clock.advance(100'000);
    EXPECT_TRUE(expiries.empty());
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(timer.setInterval(300));
    clock.advance(300);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{100'300}));
}

TEST_F(TimerRules, NegativeOrOversizedPeriodIsRefusedAndKept)
{
    timer.setEnabled(true);
    clock.advance(500);
    EXPECT_FALSE(timer.setInterval(-1));
    EXPECT_FALSE(timer.setInterval(std::int64_t{1} << 31));
    EXPECT_EQ(timer.interval(), 1000);
    clock.advance(500);
    EXPECT_EQ(expiries, (std::vector<std::int64_t>{1000}));
}

TEST_F(TimerRules, LargestPeriodIsAccepted)
{
    EXPECT_TRUE(timer.setInterval(2147483647));
    EXPECT_EQ(timer.interval(), 2147483647);
}

TEST_F(TimerRules, DisablingInsideItsOwnHandlerStopsIt)
{
    int count = 0;
    Timer once{clock, 100, [&] {
                   ++count;
                   once.setEnabled(false);
               }};
    once.setEnabled(true);
    clock.advance(1000);
    EXPECT_EQ(count, 1);
}

} // namespace
} // namespace latchsweep
