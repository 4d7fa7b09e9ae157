#include "win32/app/icons.h"

#include <map>
#include <utility>

namespace latchsweep::win32 {
namespace {

HICON loadIcon(int resourceId, int sizeMetricX, int sizeMetricY)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY),
                                         LR_DEFAULTCOLOR));
}

// The icons loaded so far, by resource id. Never freed: the system frees them with the process.
std::map<int, std::pair<HICON, HICON>>& loadedIcons()
{
    static std::map<int, std::pair<HICON, HICON>> icons;
    return icons;
}

} // namespace

IconPair::IconPair(int resourceId)
{
    auto& icons = loadedIcons();
    auto found = icons.find(resourceId);
    if (found == icons.end()) {
        const std::pair loaded{loadIcon(resourceId, SM_CXICON, SM_CYICON),
                               loadIcon(resourceId, SM_CXSMICON, SM_CYSMICON)};
        // A resource that is missing is not remembered: nothing was loaded.
        if (!loaded.first && !loaded.second)
            return;
        found = icons.emplace(resourceId, loaded).first;
    }
    big_ = found->second.first;
    small_ = found->second.second;
}

void IconPair::applyTo(HWND window) const
{
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_));
}

} // namespace latchsweep::win32
