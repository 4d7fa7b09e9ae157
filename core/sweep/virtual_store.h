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

// At most `maxBytes` of the file `path`, or, when it cannot be read there, of its copy in the
// virtual store: what a legacy program in that folder would have read.
std::optional<std::string> readHeadSeenByLegacyPrograms(FileSystem& files, std::string_view path, std::size_t maxBytes);

} // namespace latchsweep
