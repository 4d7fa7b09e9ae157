#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace latchsweep {

inline constexpr unsigned kCodePageWindows1252 = 1252;
inline constexpr unsigned kCodePageUtf8 = 65001;

// How single-byte text is read on this system: the code page that text names when it names
// none (the system's ANSI code page on Windows), and the system's conversion from a code page
// to UTF-8, if it has one (nothing back: it does not know that code page). Windows-1252 and
// UTF-8 need no conversion of the system's. The file-system port says which applies here
// (FileSystem::textDecoding); the readers of text files (about/rtf.h) use it.
struct TextDecoding {
    unsigned codePage = kCodePageWindows1252;
    std::optional<std::string> (*convert)(unsigned codePage, std::string_view bytes) = nullptr;
};

} // namespace latchsweep
