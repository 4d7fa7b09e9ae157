#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "core/base/tray_port.h"

namespace latchsweep {

// The notification area's rules for the record (TrayPort), for a front end that keeps the icons
// itself: one icon per (hWnd, uID); an add needs a notification area and a pair not yet there;
// a modify or a delete needs a pair that is there. `Icon` is whatever the front end shows for a
// pair. The rules are kept here once, and the front end only makes, changes and drops its icons.
template <class Icon>
class TrayIcons {
public:
    using Key = std::pair<WindowHandle, std::int32_t>;

    // Carries out one operation of the record: `make(record)` returns the icon of an add that the
    // rules allow, `change(icon, record)` applies a modify, `drop(key, icon)` takes the icon of a
    // delete once it has left the table. False where the platform refuses.
    template <class Make, class Change, class Drop>
    bool notify(std::uint32_t message, const NotifyIconData& record, bool areaAvailable, Make&& make, Change&& change,
                Drop&& drop)
    {
        const Key key{record.hWnd, record.uID};
        const auto found = icons.find(key);
        switch (message) {
        case kNimAdd:
            if (found != icons.end() || !areaAvailable)
                return false;
            icons.emplace(key, make(record));
            return true;
        case kNimModify:
            if (found == icons.end())
                return false;
            change(found->second, record);
            return true;
        case kNimDelete: {
            if (found == icons.end())
                return false;
            Icon icon = std::move(found->second);
            icons.erase(found);
            drop(key, icon);
            return true;
        }
        default:
            return false;
        }
    }

    // The icons by their pair: read freely; a test may also clear them, as a restarted shell
    // forgets every icon.
    std::map<Key, Icon> icons;
};

} // namespace latchsweep
