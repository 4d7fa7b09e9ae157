#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace latchsweep {

// The scan delay's text as a 32-bit signed number of milliseconds, or nothing when the text is
// not one number in range.
std::optional<std::int32_t> parseDelay(std::string_view text);

} // namespace latchsweep
