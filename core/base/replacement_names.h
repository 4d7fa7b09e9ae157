#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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

// A temporary's name: "." + the file's name + ".latchsweep-" + the writer's process id + "-" + the
// attempt, both numbers in decimal. Hidden where a leading dot hides a file, and recognisably ours.
inline constexpr std::string_view kTemporaryBefore = ".";
inline constexpr std::string_view kTemporaryAfter = ".latchsweep-";

// The name of the temporary that attempt `attempt` of a save of `target` by `writer` creates.
std::string temporaryName(std::string_view target, ProcessId writer, unsigned attempt);

// The process whose save of `target` left `entry` behind, when `entry` is exactly a name that
// temporaryName() gives for some writer and attempt; nothing for any other name, so that a file of
// the user's that merely looks alike is never taken for ours.
std::optional<ProcessId> leftoverWriter(std::string_view target, std::string_view entry);

// Whether `entry` is a leftover that a save of `target` by process `self` removes first: one whose
// writer no longer runs, or this process itself, which saves one file at a time. One of a save
// under way in another instance stays.
bool isStaleLeftover(std::string_view target, std::string_view entry, ProcessId self,
                     const std::function<bool(ProcessId)>& stillRuns);

} // namespace latchsweep
