#include <gtest/gtest.h>

#include <vector>

#include "core/base/timer.h"
#include "tests/support/virtual_clock.h"

namespace latchsweep {
namespace {

using Expiries = std::vector<std::int64_t>;

struct TimerRules : ::testing::Test {
    testing::VirtualClock clock;
    Expiries expiries;
    Timer timer{clock, 1000, [this] { expiries.push_back(clock.now()); }};
};

TEST_F(TimerRules, EnablingStartsAFreshCountdownEnablingAgainKeepsItAndOffAndOnAtOnceWaitsAFullPeriod)
{
    clock.advance(10'000); // disabled: never expires
    timer.setEnabled(true);
    clock.advance(700);
    timer.setEnabled(true);
    clock.advance(2300);
    EXPECT_EQ(expiries, (Expiries{11'000, 12'000, 13'000}));
    clock.advance(900);
    timer.setEnabled(false);
    timer.setEnabled(true);
    clock.advance(999);
    EXPECT_EQ(expiries.size(), 3u);
    clock.advance(1);
    EXPECT_EQ(expiries.back(), 14'900);
}

TEST_F(TimerRules, TheSamePeriodLeavesTheCountdownAloneAChangedOneRestartsIt)
{
    timer.setEnabled(true);
    for (int i = 0; i < 9; ++i) {
        clock.advance(100);
        EXPECT_TRUE(timer.setInterval(1000));
    }
    clock.advance(200);
    EXPECT_TRUE(timer.setInterval(500)); // at 1100
    clock.advance(1000);
    EXPECT_EQ(expiries, (Expiries{1000, 1600, 2100}));
    EXPECT_EQ(timer.interval(), 500);
}

TEST_F(TimerRules, PeriodChangedWhileDisabledAppliesAtTheNextEnable)
{
    EXPECT_TRUE(timer.setInterval(250));
    clock.advance(5000);
    EXPECT_TRUE(expiries.empty());
    timer.setEnabled(true);
    clock.advance(500);
    EXPECT_EQ(expiries, (Expiries{5250, 5500}));
}

TEST_F(TimerRules, PeriodZeroNeverExpiresButStaysEnabledANegativeOrOversizedOneIsRefused)
{
    timer.setEnabled(true);
    clock.advance(500);
    EXPECT_FALSE(timer.setInterval(-1));
    EXPECT_FALSE(timer.setInterval(std::int64_t{1} << 31));
    EXPECT_EQ(timer.interval(), 1000);
    clock.advance(500);
    EXPECT_EQ(expiries, (Expiries{1000}));
    EXPECT_TRUE(timer.setInterval(0));
    clock.advance(100'000);
    EXPECT_EQ(expiries.size(), 1u);
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(timer.setInterval(300));
    clock.advance(300);
    EXPECT_EQ(expiries.back(), 101'300);
    EXPECT_TRUE(timer.setInterval(2147483647));
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
