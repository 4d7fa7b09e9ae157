#pragma once

#include "core/base/ports.h"
#include "core/base/window.h"

namespace latchsweep {

// What a window's presenter may use of the running program, and nothing more: the platform's
// ports, the front end's windows, whether the program has ended, and its own instance's slot. The application makes one
// for each instance it creates; every reference in it outlives the presenter, so a handler may
// keep a copy across a nested event loop (a message box) during which its window is discarded.
class WindowContext {
public:
    WindowContext(Platform& platform, ViewFactory& views, const bool& ended, WindowSlot& self)
        : platform_(&platform),
          views_(&views),
          ended_(&ended),
          self_(&self)
    {}

    [[nodiscard]] Platform& platform() const { return *platform_; }
    [[nodiscard]] ViewFactory& views() const { return *views_; }

    // Whether the program has ended. Only test doubles of ProcessControl let events arrive
    // afterwards, and every handler then does nothing.
    [[nodiscard]] bool ended() const { return *ended_; }

    // Closes this window and destroys its presenter: the last step of the handler that calls it
    // (see WindowSlot::discard). A presenter's own context goes with it, so nothing of the
    // context is touched once the slot has been reached.
    void discard() const
    {
        WindowSlot& self = *self_;
        self.discard();
    }

private:
    Platform* platform_;
    ViewFactory* views_;
    const bool* ended_;
    WindowSlot* self_;
};

} // namespace latchsweep
