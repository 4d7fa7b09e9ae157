#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace latchsweep {

class FileSystem;

// One line of the directory list.
struct DirectoryEntry {
    std::string name;  // as shown: the root as written ("/", "C:\"), otherwise the directory's own name
    std::string path;  // the full path the entry stands for
    int depth = 0;     // indentation: 0 for the root
    bool open = false; // the root, an ancestor or the current directory; false for a subdirectory
};

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

// The model of the game directory window's directory list: one drive's tree around a current
// path. Its entries are the root and the other ancestors of the path, the path itself, then the
// path's subdirectories sorted without regard to case. The value is the current path; it
// changes only when an entry is opened. Paths are taken lexically: a symbolic link to a
// directory is entered under its own name, as the user sees it.
class DirectoryList {
public:
    DirectoryList(FileSystem& files, std::string_view start);

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] const std::vector<DirectoryEntry>& entries() const { return entries_; }
    // The position of the current path among the entries.
    [[nodiscard]] std::size_t currentIndex() const { return parts_.names.size(); }

    // Makes the entry the current path and lists its subdirectories afresh. False for an index
    // past the end, which changes nothing. A directory that cannot be read lists no
    // subdirectories.
    bool open(std::size_t index);

private:
    void list();

    FileSystem& files_;
    char separator_;
    PathParts parts_;
    std::string path_;
    std::vector<DirectoryEntry> entries_;
};

} // namespace latchsweep
