#include "core/base/timer.h"

#include <limits>
#include <utility>

namespace latchsweep {

Timer::Timer(TimerFactory& factory, std::int32_t periodMs, std::function<void()> onExpiry, TimerAccuracy accuracy)
    : onExpiry_(std::move(onExpiry)),
      period_(periodMs < 0 ? 0 : periodMs)
{
    // The driver calls back through this object so that an expiry that arrives after a stop
    // (already queued by the platform) never reaches the handler of a disabled timer.
    driver_ = factory.create(
        [this] {
            if (enabled_ && period_ > 0)
                onExpiry_();
        },
        accuracy);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled_)
        restart();
    else
        driver_->stop();
}

bool Timer::setInterval(std::int64_t periodMs)
{
    if (periodMs < 0 || periodMs > std::numeric_limits<std::int32_t>::max())
        return false;
    const auto period = static_cast<std::int32_t>(periodMs);
    if (period == period_)
        return true;
    period_ = period;
    if (enabled_)
        restart();
    return true;
}

void Timer::restart()
{
    if (period_ > 0)
        driver_->start(period_);
    else
        driver_->stop();
}

} // namespace latchsweep
