#pragma once

#include <windows.h>

#include "core/base/layout.h"

namespace latchsweep::win32 {

// One icon of the executable's resources in the two sizes the desktop shows: big (Alt+Tab) and
// small (caption, task bar, notification area). Each size is loaded from the image the icon
// file holds for it, or scaled from its nearest one.
//
// Each icon is loaded once for the whole run and kept until the process ends: windows come and
// go hundreds of times, and loading afresh for each would make and free the same images again
// and again. A pair is only a view of the loaded icons; copies are cheap and own nothing.
class IconPair {
public:
    IconPair() = default;
    explicit IconPair(IconId icon); // IconId::None: no icon at all

    [[nodiscard]] HICON bigIcon() const { return big_; }
    [[nodiscard]] HICON smallIcon() const { return small_; }

    void applyTo(HWND window) const;

private:
    HICON big_ = nullptr;
    HICON small_ = nullptr;
};

} // namespace latchsweep::win32
