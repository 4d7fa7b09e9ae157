#include "core/base/layout.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace latchsweep {

std::string withoutAccessKey(std::string_view caption)
{
    std::string spoken;
    spoken.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && ++i == caption.size())
            break;
        spoken += caption[i];
    }
    return spoken;
}

std::string accessibleName(const WindowLayout& windowLayout, const ControlLayout& control)
{
    if (control.labelledBy.empty())
        return control.kind == ControlKind::RichText ? std::string() : withoutAccessKey(control.text);
    if (control.labelledBy == windowLayout.name)
        return withoutAccessKey(windowLayout.caption);
    const ControlLayout* label = findControl(windowLayout, control.labelledBy);
    return label ? withoutAccessKey(label->text) : std::string();
}

const ControlLayout* findControl(const WindowLayout& windowLayout, std::string_view name)
{
    const auto found = std::ranges::find(windowLayout.controls, name, &ControlLayout::name);
    return found != windowLayout.controls.end() ? &*found : nullptr;
}

bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::Button || kind == ControlKind::RichText || kind == ControlKind::DirectoryList;
}

std::vector<std::size_t> focusOrder(const WindowLayout& windowLayout)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < windowLayout.controls.size(); ++i)
        if (windowLayout.controls[i].tabIndex >= 0 && takesFocus(windowLayout.controls[i].kind))
            order.push_back(i);
    std::ranges::stable_sort(order, {}, [&](std::size_t i) { return windowLayout.controls[i].tabIndex; });
    return order;
}

std::string_view initialFocus(const WindowLayout& windowLayout)
{
    const std::vector<std::size_t> order = focusOrder(windowLayout);
    return order.empty() ? std::string_view() : windowLayout.controls[order.front()].name;
}

std::string_view buttonForEnter(const WindowLayout& windowLayout, std::string_view focused)
{
    if (!windowLayout.keys.defaultButton.empty())
        return windowLayout.keys.defaultButton;
    const ControlLayout* control = findControl(windowLayout, focused);
    return control && control->kind == ControlKind::Button ? control->name : std::string_view();
}

std::vector<std::size_t> creationOrder(const WindowLayout& windowLayout)
{
    std::vector<std::size_t> order(windowLayout.controls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::stable_sort(order, {}, [&](std::size_t i) {
        const ControlLayout& control = windowLayout.controls[i];
        const int group = control.kind == ControlKind::Frame ? 0 : (control.tabIndex >= 0 ? 1 : 2);
        return std::pair{group, control.tabIndex};
    });
    return order;
}

} // namespace latchsweep
