#include "win32_platform.h"

#include <string>
#include <utility>

namespace latchsweep::win32 {

class Win32TimerFactory::Driver : public TimerDriver {
public:
    Driver(Win32TimerFactory& factory, UINT_PTR id, std::function<void()> onExpiry)
        : factory_(factory), id_(id), onExpiry_(std::move(onExpiry))
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
        running_ = SetTimer(factory_.window_.hwnd(), id_, static_cast<UINT>(periodMs), nullptr) != 0;
    }
    void stop() override
    {
        if (running_)
            KillTimer(factory_.window_.hwnd(), id_);
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

Win32TimerFactory::TimerWindow::TimerWindow(Win32TimerFactory& factory) : factory_(factory)
{
    WindowArgs args;
    args.className = "LatchsweepTimers";
    args.style = 0;
    args.exStyle = 0;
    args.parent = HWND_MESSAGE;
    create(args);
}

LRESULT Win32TimerFactory::TimerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        factory_.expire(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return NativeWindow::onMessage(message, wParam, lParam);
}

Win32TimerFactory::Win32TimerFactory() : window_(*this) {}

Win32TimerFactory::~Win32TimerFactory() = default;

std::unique_ptr<TimerDriver> Win32TimerFactory::create(std::function<void()> onExpiry)
{
    return std::make_unique<Driver>(*this, nextId_++, std::move(onExpiry));
}

void Win32TimerFactory::expire(UINT_PTR id)
{
    const auto found = drivers_.find(id);
    if (found != drivers_.end())
        found->second->expire();
}

void Win32MessageBoxes::show(std::string_view text, std::string_view title)
{
    const std::string message(text);
    const std::string caption(title);
    MessageBoxA(nullptr, message.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

void Win32ProcessControl::endNow() { ExitProcess(0); }

} // namespace latchsweep::win32
