// The help window's rich-text reader, on any bytes: it never fails, gives UTF-8 text only, and
// never gives two neighbouring runs of one format, also when the system's code-page conversion
// hands back bytes that are not UTF-8. The plain-text path's conversion from Windows-1252 is
// held to UTF-8 output as well.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/about/rtf.h"

namespace {

// A conversion that gives back what it was given: anything but UTF-8, for most inputs.
std::optional<std::string> unconverted(unsigned, std::string_view bytes) { return std::string(bytes); }

void checkRuns(const std::vector<latchsweep::RtfRun>& runs)
{
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!latchsweep::isUtf8(runs[i].text))
            std::abort();
        if (i > 0 && runs[i].format == runs[i - 1].format)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static_cast<void>(latchsweep::isRtf(bytes));
    checkRuns(latchsweep::parseRtf(bytes));
    checkRuns(latchsweep::readRtf(bytes, {1251, unconverted}).runs);
    if (!latchsweep::isUtf8(latchsweep::windows1252ToUtf8(bytes)))
        std::abort();
    return 0;
}
