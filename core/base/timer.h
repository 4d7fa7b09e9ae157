#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace latchsweep {

// A periodic platform timer. `start` begins a fresh countdown of `periodMs` (> 0) and keeps
// expiring every period until `stop`; starting a running driver restarts its countdown.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    virtual void start(std::int32_t periodMs) = 0;
    virtual void stop() = 0;
};

// How closely a timer's expiries must follow its period. A timer of whole seconds whose exact
// phase does not matter lets the platform move each expiry to a whole second of its clock, so
// that such timers share one wake-up of the program instead of waking it once each.
enum class TimerAccuracy { Exact, WholeSeconds };

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    virtual std::unique_ptr<TimerDriver> create(std::function<void()> onExpiry, TimerAccuracy accuracy) = 0;
};

// The window timer every part of the program relies on: an enabled flag and a 32-bit signed
// period. The rules live here so that no toolkit's own timer semantics leak through:
// - enabling a disabled timer starts a fresh countdown; enabling an enabled one changes nothing;
// - assigning the period it already has leaves the countdown alone, a changed period restarts
//   it from the moment of assignment;
// - period 0 never expires, although the timer stays enabled;
// - a negative period is refused and the period stays as it was.
class Timer {
public:
    Timer(TimerFactory& factory, std::int32_t periodMs, std::function<void()> onExpiry,
          TimerAccuracy accuracy = TimerAccuracy::Exact);

    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setEnabled(bool enabled);
    [[nodiscard]] bool enabled() const { return enabled_; }

    // Returns false when the period is refused.
    bool setInterval(std::int64_t periodMs);
    [[nodiscard]] std::int32_t interval() const { return period_; }

private:
    void restart();

    std::function<void()> onExpiry_;
    std::unique_ptr<TimerDriver> driver_;
    std::int32_t period_;
    bool enabled_ = false;
};

} // namespace latchsweep
