#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/ports.h"

namespace latchsweep {

// The copy of a file that Windows' file virtualization shows a legacy program at `path`: the
// path below the store's root, without its drive ("C:\Program Files (x86)\X\f" becomes
// "<root>\Program Files (x86)\X\f"). Nothing when `path` lies outside every virtualized folder,
// on another drive, on a network share or a device, or when nothing is virtualized at all. A
// path relative to the working directory (or to its drive's root) is taken from there, and "."
// and ".." are resolved as the system resolves them, without asking the disk. Folder names
// compare without regard to the case of ASCII letters.
std::optional<std::string> virtualStoreCopy(std::string_view path, std::string_view workingDirectory,
                                            const VirtualStore& store);

// The same for the platform the file system runs on; asks for the working directory only when
// `path` is relative and something is virtualized.
std::optional<std::string> virtualStoreCopy(FileSystem& files, std::string_view path);

// At most `maxBytes` of a program's own file (`path`, as the program names it) from where a
// legacy program in that folder would read it: its copy in the virtual store where that exists,
// else the file itself.
std::optional<std::string> readHeadSeenByLegacyPrograms(FileSystem& files, std::string_view path, std::size_t maxBytes);

// Where a save of a program's own file goes, as for a legacy program in that folder: to its copy
// in the virtual store where that exists (which is what reading finds), else to the file itself.
std::string saveTarget(FileSystem& files, std::string_view path);

// Where a save that the system refused at `target` is made instead: the copy in the virtual
// store, when the refusal was for lack of access and the folder is one Windows virtualizes.
// Nothing otherwise, and nothing for a save that was made at the copy already.
std::optional<std::string> saveRefusedTo(FileSystem& files, std::string_view target, const WriteStatus& status);

} // namespace latchsweep
