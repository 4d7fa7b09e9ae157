// The help window's rich-text reader, on any bytes: it never fails, gives UTF-8 text only, and
// never gives two neighbouring runs of one format. The plain-text path's conversion from
// Windows-1252 is held to UTF-8 output as well.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "about/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static_cast<void>(latchsweep::isRtf(bytes));
    const auto runs = latchsweep::parseRtf(bytes);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!latchsweep::isUtf8(runs[i].text))
            std::abort();
        if (i > 0 && runs[i].format == runs[i - 1].format)
            std::abort();
    }
    if (!latchsweep::isUtf8(latchsweep::windows1252ToUtf8(bytes)))
        std::abort();
    return 0;
}
