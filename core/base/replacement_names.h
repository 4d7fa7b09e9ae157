#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace latchsweep {

// A save writes its temporary beside the file it replaces, under a name that says which file it
// stands in for and which process wrote it: a save killed between writing and renaming leaves it
// behind, and the next save can tell whether its writer still runs.
using ProcessId = std::uint32_t;

// The largest id that every system's type for it holds (a signed 32-bit pid_t, a DWORD), so that
// an id read back from a name never turns into another, or into a process group.
inline constexpr ProcessId kLargestProcessId = 0x7fffffff;

// A temporary's name is `before` + the file's name + `after` + the writer's process id + "-" +
// the attempt, both numbers in decimal.
struct TemporaryNaming {
    std::string_view before;
    std::string_view after;
    bool operator==(const TemporaryNaming&) const = default;
};

// Hidden where a leading dot hides a file, and recognisably ours; leftovers of every earlier
// release carry the same name, so it stays as it is.
inline constexpr TemporaryNaming kTemporaryNaming{".", ".latchsweep-"};
// Windows releases before that one wrote "<name>.tmp<pid>-<n>".
inline constexpr TemporaryNaming kReleasedWindowsNaming{"", ".tmp"};

// The name of the temporary that attempt `attempt` of a save of `target` by `writer` creates (or
// created, under an earlier naming).
std::string temporaryName(std::string_view target, ProcessId writer, unsigned attempt,
                          const TemporaryNaming& naming = kTemporaryNaming);

// The process whose save of `target` left `entry` behind, when `entry` is exactly a name that one
// of `namings` gives for some writer and attempt; nothing for any other name, so that a file of
// the user's that merely looks alike is never taken for ours.
std::optional<ProcessId> leftoverWriter(std::string_view target, std::string_view entry,
                                        std::span<const TemporaryNaming> namings);

// Whether `entry` is a leftover that a save of `target` by process `self` removes first: one whose
// writer no longer runs, or this process itself, which saves one file at a time. One of a save
// under way in another instance stays.
bool isStaleLeftover(std::string_view target, std::string_view entry, std::span<const TemporaryNaming> namings,
                     ProcessId self, const std::function<bool(ProcessId)>& stillRuns);

} // namespace latchsweep
