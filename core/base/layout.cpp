#include "core/base/layout.h"

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
    for (const ControlLayout& label : windowLayout.controls)
        if (label.name == control.labelledBy)
            return withoutAccessKey(label.text);
    return {};
}

} // namespace latchsweep
