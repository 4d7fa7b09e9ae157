#include "win32/app/win32_platform.h"

#include <string>
#include <utility>
#include <vector>

#include "core/base/window.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

class Win32TimerFactory::Driver : public TimerDriver {
public:
    Driver(Win32TimerFactory& factory, UINT_PTR id, std::function<void()> onExpiry)
        : factory_(factory),
          id_(id),
          onExpiry_(std::move(onExpiry))
    {
        factory_.drivers_[id_] = this;
    }
    ~Driver() override
    {
        stop();
        factory_.drivers_.erase(id_);
    }

    // SetTimer on a running id replaces it: a fresh countdown of the new period.
    void start(std::int32_t periodMs) override
    {
        running_ = SetTimer(factory_.hwnd(), id_, static_cast<UINT>(periodMs), nullptr) != 0;
    }
    void stop() override
    {
        if (running_)
            KillTimer(factory_.hwnd(), id_);
        running_ = false;
    }

    void expire()
    {
        if (running_)
            onExpiry_();
    }

private:
    Win32TimerFactory& factory_;
    UINT_PTR id_;
    std::function<void()> onExpiry_;
    bool running_ = false;
};

Win32TimerFactory::Win32TimerFactory()
{
    WindowArgs args;
    args.className = "LatchsweepTimers";
    args.style = 0;
    args.exStyle = 0;
    args.parent = HWND_MESSAGE;
    NativeWindow::create(args);
}

LRESULT Win32TimerFactory::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        if (const auto found = drivers_.find(static_cast<UINT_PTR>(wParam)); found != drivers_.end())
            found->second->expire();
        return 0;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

// SetTimer has no accuracy to ask for: the system coalesces timers of its own accord.
std::unique_ptr<TimerDriver> Win32TimerFactory::create(std::function<void()> onExpiry, TimerAccuracy)
{
    return std::make_unique<Driver>(*this, nextId_++, std::move(onExpiry));
}

namespace {

BOOL CALLBACK collectEnabledWindow(HWND window, LPARAM context)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

} // namespace

void Win32MessageBoxes::show(const WindowView* owner, std::string_view text, std::string_view title)
{
    const std::wstring message = fromUtf8(text);
    const std::wstring caption = fromUtf8(title);
    const auto* native = dynamic_cast<const NativeWindow*>(owner);
    HWND ownerWindow = native ? native->hwnd() : nullptr;
    if (!ownerWindow || !IsWindow(ownerWindow)) {
        MessageBoxW(nullptr, message.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
        return;
    }
    // A box with an owner disables that window alone; the program's other windows are disabled
    // here, and given back afterwards, so that the box stays modal to all of them.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), collectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, ownerWindow);
    for (HWND window : disabled)
        EnableWindow(window, FALSE);
    MessageBoxW(ownerWindow, message.c_str(), caption.c_str(), MB_OK | MB_APPLMODAL | MB_SETFOREGROUND);
    for (HWND window : disabled)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
}

} // namespace latchsweep::win32
