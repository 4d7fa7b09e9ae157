#include "core/base/menu.h"

#include <cstddef>
#include <numeric>

namespace latchsweep {

BarPlace stepAlongBar(std::span<const std::size_t> rowLengths, BarPlace from, int step)
{
    const std::size_t total = std::accumulate(rowLengths.begin(), rowLengths.end(), std::size_t{0});
    if (total == 0 || from.row >= rowLengths.size())
        return from;
    // The entry's place on the bar taken as one sequence, moved and brought round within it.
    const auto rowsBefore = rowLengths.first(from.row);
    const auto count = static_cast<std::ptrdiff_t>(total);
    const auto start =
        static_cast<std::ptrdiff_t>(std::accumulate(rowsBefore.begin(), rowsBefore.end(), std::size_t{0}) + from.entry);
    auto remaining = static_cast<std::size_t>(((start + step) % count + count) % count);
    std::size_t row = 0;
    while (remaining >= rowLengths[row])
        remaining -= rowLengths[row++];
    return {row, remaining};
}

} // namespace latchsweep
