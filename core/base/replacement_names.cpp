#include "core/base/replacement_names.h"

#include <algorithm>

namespace latchsweep {
namespace {

// A number as the names spell it: decimal, no sign, no leading zero. Any other spelling is a name
// no save wrote.
std::optional<std::uint64_t> spelledNumber(std::string_view digits)
{
    constexpr std::size_t kMostDigits = 10; // as many as a 32-bit number needs
    if (digits.empty() || digits.size() > kMostDigits || (digits.size() > 1 && digits.front() == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char digit : digits)
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    return value;
}

} // namespace

std::optional<ProcessId> leftoverWriter(std::string_view target, std::string_view entry)
{
    const auto take = [&entry](std::string_view part) {
        const bool there = entry.starts_with(part);
        if (there)
            entry.remove_prefix(part.size());
        return there;
    };
    if (!take(kTemporaryBefore) || !take(target) || !take(kTemporaryAfter))
        return std::nullopt;
    const std::size_t dash = entry.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto writer = spelledNumber(entry.substr(0, dash));
    const auto attempt = spelledNumber(entry.substr(dash + 1));
    // No process has the id 0 (on POSIX it would stand for the caller's whole process group).
    if (!writer || !attempt || *writer == 0 || *writer > kLargestProcessId || *attempt > 0xffffffffu)
        return std::nullopt;
    return static_cast<ProcessId>(*writer);
}

std::string temporaryName(std::string_view target, ProcessId writer, unsigned attempt)
{
    return std::string(kTemporaryBefore).append(target).append(kTemporaryAfter) + std::to_string(writer) + '-' +
           std::to_string(attempt);
}

bool isStaleLeftover(std::string_view target, std::string_view entry, ProcessId self,
                     const std::function<bool(ProcessId)>& stillRuns)
{
    const auto writer = leftoverWriter(target, entry);
    return writer && (*writer == self || !stillRuns(*writer));
}

} // namespace latchsweep
