#pragma once

#include <QString>

#include "core/base/ports.h"

namespace latchsweep::qt {

// Window timers on QTimer: precise ones by default (Qt's coarse default may be 5 % of the period
// late), very coarse ones, which expire together on whole seconds of the clock, for the timers
// that ask for whole-second accuracy.
class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<TimerDriver> create(std::function<void()> onExpiry, TimerAccuracy accuracy) override;
};

// QMessageBox, placed over the window that asks and modal to the whole program.
class QtMessageBoxes : public MessageBoxes {
public:
    void show(const WindowView* owner, std::string_view text, std::string_view title) override;
};

// Ends the process at once, as the program's every way out requires: no event loop, no
// destructors, no further handler of any window.
class QtProcessControl : public ProcessControl {
public:
    void endNow() override;
};

QString toQString(std::string_view text);

} // namespace latchsweep::qt
