#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/window.h"

namespace latchsweep {

class FileSystem;

// A path taken apart: its root and the names below it. The root is "/" on POSIX; "C:\",
// "\\server\share\" or "\" with the '\' separator, where '/' separates too. A relative path
// (only met when the working directory cannot be found) is a root of its own.
struct PathParts {
    std::string root;
    std::vector<std::string> names;
};

PathParts splitPath(std::string_view path, char separator);

// `dir` and `name` joined by one separator; none is added after a root that ends with one.
std::string joinPath(std::string_view dir, std::string_view name, char separator);

// The model of the game directory window's directory list: the computer's drives in letter order,
// the current one open as the tree around a current path. Under the current drive's root stand
// the other ancestors of the path, the path itself, then the path's subdirectories sorted without
// regard to case; the other drives stand closed at the top level. Where the file system is one
// tree, the list is that tree alone. The value is the current path; it changes only when an entry
// is opened. Paths are taken lexically: a symbolic link to a directory is entered under its own
// name, as the user sees it.
class DirectoryList {
public:
    DirectoryList(FileSystem& files, std::string_view start);

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] const std::vector<DirectoryEntry>& entries() const { return entries_; }
    // The position of the current path among the entries.
    [[nodiscard]] std::size_t currentIndex() const { return rootIndex_ + parts_.names.size(); }

    // Makes the entry the current path and lists its subdirectories afresh; another drive's entry
    // makes that drive's root the current path. False, and nothing changed, for an index past the
    // end and for a drive that cannot be read (no medium in it): the current path is always a
    // folder that was there. A directory of the current drive that cannot be read lists no
    // subdirectories.
    bool open(std::size_t index);

private:
    void list();

    FileSystem& files_;
    char separator_;
    std::vector<std::string> drives_;
    PathParts parts_;
    std::size_t rootIndex_ = 0; // where the current drive's root stands among the entries
    std::string path_;
    std::vector<DirectoryEntry> entries_;
};

} // namespace latchsweep
