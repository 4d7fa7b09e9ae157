#pragma once

// Text in several formats, as a rich-text box shows it.

#include <cstdint>
#include <optional>
#include <string>

namespace latchsweep {

struct RtfColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RtfColour&) const = default;
};

struct RtfFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = 0;              // the size in half points; 0: the text box's own size
    std::string family;              // empty: the text box's own font
    std::optional<RtfColour> colour; // none: the default text colour
    bool operator==(const RtfFormat&) const = default;
};

// A stretch of text in one format. The text is UTF-8; a paragraph ends with '\n'.
struct RtfRun {
    std::string text;
    RtfFormat format;
};

} // namespace latchsweep
