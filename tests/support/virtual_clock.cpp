#include "tests/support/virtual_clock.h"

#include <algorithm>
#include <limits>

namespace latchsweep::testing {

struct VirtualClock::Slot {
    std::function<void()> onExpiry;
    std::int64_t deadline = 0;
    std::int32_t period = 0;
    bool running = false;
};

struct ClockState {
    std::int64_t now = 0;
    std::vector<VirtualClock::Slot*> slots; // in creation order
};

namespace {

class VirtualDriver : public TimerDriver {
public:
    VirtualDriver(std::shared_ptr<ClockState> state, std::function<void()> onExpiry)
        : state_(std::move(state))
    {
        slot_.onExpiry = std::move(onExpiry);
        state_->slots.push_back(&slot_);
    }
    ~VirtualDriver() override { std::erase(state_->slots, &slot_); }

    void start(std::int32_t periodMs) override
    {
        slot_.period = periodMs;
        slot_.deadline = state_->now + periodMs;
        slot_.running = periodMs > 0;
    }
    void stop() override { slot_.running = false; }

private:
    std::shared_ptr<ClockState> state_;
    VirtualClock::Slot slot_;
};

} // namespace

VirtualClock::VirtualClock()
    : state_(std::make_shared<ClockState>())
{}
VirtualClock::~VirtualClock() = default;

std::unique_ptr<TimerDriver> VirtualClock::create(std::function<void()> onExpiry, TimerAccuracy accuracy)
{
    accuracies_.push_back(accuracy);
    return std::make_unique<VirtualDriver>(state_, std::move(onExpiry));
}

void VirtualClock::advance(std::int64_t ms)
{
    const std::int64_t target = state_->now + ms;
    for (;;) {
        Slot* next = nullptr;
        for (Slot* slot : state_->slots)
            if (slot->running && slot->deadline <= target && (!next || slot->deadline < next->deadline))
                next = slot;
        if (!next)
            break;
        state_->now = next->deadline;
        next->deadline += next->period;
        // A copy: the handler may destroy the driver that owns the slot.
        auto handler = next->onExpiry;
        handler();
    }
    state_->now = target;
}

std::int64_t VirtualClock::now() const { return state_->now; }

} // namespace latchsweep::testing
