#include "win32/app/icons.h"

#include <iterator>
#include <map>
#include <utility>

#include "win32/resource_ids.h"

namespace latchsweep::win32 {
namespace {

HICON loadIcon(int resourceId, int sizeMetricX, int sizeMetricY)
{
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY),
                                         LR_DEFAULTCOLOR));
}

// The resource of each IconId, in the enumeration's order; none for IconId::None.
constexpr int kResources[] = {
    0,          IDI_LATCHSWEEP, IDI_FRAME1, IDI_FRAME2, IDI_BINOCULARS, IDI_WASTEBIN, IDI_QUESTION_MARK, IDI_INFO_SIGN,
    IDI_PRODUCT};
static_assert(std::size(kResources) == static_cast<std::size_t>(IconId::Product) + 1);

} // namespace

IconPair::IconPair(IconId icon)
{
    const int resourceId = kResources[static_cast<std::size_t>(icon)];
    if (resourceId == 0)
        return;
    // The icons loaded so far, by resource id. Never freed: the system frees them with the process.
    static std::map<int, std::pair<HICON, HICON>> icons;
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
