#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/timer.h"

namespace latchsweep::testing {

// Timers on virtual time: nothing expires until the test advances the clock, and expiries come
// in deadline order (creation order on a tie), exactly one per period.
class VirtualClock : public TimerFactory {
public:
    VirtualClock();
    ~VirtualClock() override;

    std::unique_ptr<TimerDriver> create(std::function<void()> onExpiry) override;

    // Moves time forward by `ms`, running every expiry that falls due on the way.
    void advance(std::int64_t ms);
    [[nodiscard]] std::int64_t now() const;

    struct Slot;

private:
    std::shared_ptr<struct ClockState> state_;
};

} // namespace latchsweep::testing
