#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "core/base/ports.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// Window timers on SetTimer: each driver is one timer id of the factory's message-only window,
// and its expiries arrive as WM_TIMER through the thread's message loop, between the other events.
class Win32TimerFactory : public TimerFactory, private NativeWindow {
public:
    Win32TimerFactory();

    std::unique_ptr<TimerDriver> create(std::function<void()> onExpiry, TimerAccuracy accuracy) override;

private:
    class Driver;
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::map<UINT_PTR, Driver*> drivers_;
    UINT_PTR nextId_ = 1;
};

// MessageBoxW with a single OK button, owned by the window that asks (and so placed over it),
// modal to every window of the program as the program's boxes are: no other window takes input
// until it is dismissed (timers go on).
class Win32MessageBoxes : public MessageBoxes {
public:
    void show(const WindowView* owner, std::string_view text, std::string_view title) override;
};

// ExitProcess: the process ends at once, with no further message of any window.
class Win32ProcessControl : public ProcessControl {
public:
    void endNow() override { ExitProcess(0); }
};

} // namespace latchsweep::win32
