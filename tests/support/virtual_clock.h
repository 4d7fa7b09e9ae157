#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/base/timer.h"

namespace latchsweep::testing {

// Timers on virtual time: nothing expires until the test advances the clock, and expiries come
// in deadline order (creation order on a tie), exactly one per period.
class VirtualClock : public TimerFactory {
public:
    VirtualClock();
    ~VirtualClock() override;

    std::unique_ptr<TimerDriver> create(std::function<void()> onExpiry, TimerAccuracy accuracy) override;

    // Moves time forward by `ms`, running every expiry that falls due on the way.
    void advance(std::int64_t ms);
    [[nodiscard]] std::int64_t now() const;
    // What each timer asked for, in creation order; virtual time is exact for all of them.
    [[nodiscard]] const std::vector<TimerAccuracy>& accuracies() const { return accuracies_; }

    struct Slot;

private:
    std::shared_ptr<struct ClockState> state_;
    std::vector<TimerAccuracy> accuracies_;
};

} // namespace latchsweep::testing
