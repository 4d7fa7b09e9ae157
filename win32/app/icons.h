#pragma once

#include <windows.h>

namespace latchsweep::win32 {

// One icon of the executable's resources in the two sizes the desktop shows: big (Alt+Tab) and
// small (caption, task bar, notification area). Each size is loaded from the image the icon
// file holds for it, or scaled from its nearest one.
class IconPair {
public:
    IconPair() = default;
    explicit IconPair(int resourceId);
    ~IconPair();

    IconPair(IconPair&& other) noexcept;
    IconPair& operator=(IconPair&& other) noexcept;
    IconPair(const IconPair&) = delete;
    IconPair& operator=(const IconPair&) = delete;

    [[nodiscard]] HICON bigIcon() const { return big_; }
    [[nodiscard]] HICON smallIcon() const { return small_; }

    // Makes this pair the window's icon.
    void applyTo(HWND window) const;

private:
    void release();

    HICON big_ = nullptr;
    HICON small_ = nullptr;
};

} // namespace latchsweep::win32
