// The sweeper's reading of Directory.txt: the first line of any bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/sweep/data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto line = latchsweep::firstLine(bytes);
    if (!line) {
        // Nothing only for empty content or a line past the bound.
        const std::size_t end = bytes.find_first_of("\r\n");
        if (!bytes.empty() && (end == std::string_view::npos ? bytes.size() : end) <= latchsweep::kMaxFirstLine)
            std::abort();
        return 0;
    }
    // The line is a prefix of the content, holds no break, and ends at one (or at the end).
    if (line->size() > latchsweep::kMaxFirstLine || !bytes.starts_with(*line))
        std::abort();
    if (line->find_first_of("\r\n") != std::string_view::npos)
        std::abort();
    if (line->size() < bytes.size() && bytes[line->size()] != '\r' && bytes[line->size()] != '\n')
        std::abort();
    return 0;
}
