#include "icons.h"

#include <utility>

namespace latchsweep::win32 {
namespace {

HICON loadIcon(int resourceId, int sizeMetricX, int sizeMetricY)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY),
                                         LR_DEFAULTCOLOR));
}

} // namespace

IconPair::IconPair(int resourceId)
    : big_(loadIcon(resourceId, SM_CXICON, SM_CYICON)), small_(loadIcon(resourceId, SM_CXSMICON, SM_CYSMICON))
{
}

IconPair::~IconPair() { release(); }

IconPair::IconPair(IconPair&& other) noexcept
    : big_(std::exchange(other.big_, nullptr)), small_(std::exchange(other.small_, nullptr))
{
}

IconPair& IconPair::operator=(IconPair&& other) noexcept
{
    if (this != &other) {
        release();
        big_ = std::exchange(other.big_, nullptr);
        small_ = std::exchange(other.small_, nullptr);
    }
    return *this;
}

void IconPair::release()
{
    if (big_)
        DestroyIcon(big_);
    if (small_)
        DestroyIcon(small_);
    big_ = small_ = nullptr;
}

void IconPair::applyTo(HWND window) const
{
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_));
}

} // namespace latchsweep::win32
