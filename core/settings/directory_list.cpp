#include "core/settings/directory_list.h"

#include <algorithm>
#include <compare>
#include <optional>

#include "core/base/ports.h"

namespace latchsweep {
namespace {

bool isSeparator(char c, char separator) { return c == separator || (separator == '\\' && c == '/'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive for ASCII letters; names equal but for case keep a fixed order by their bytes.
bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    const auto folded = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end(),
                                                               [](char x, char y) { return lower(x) <=> lower(y); });
    return folded != 0 ? folded < 0 : a < b;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

// A name the platform reported that cannot stand for a subdirectory: listing it would build a
// path that points somewhere else.
bool isSubdirectoryName(std::string_view name, char separator)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(),
                        [separator](char c) { return c == '\0' || isSeparator(c, separator); });
}

// Splits `rest` at separators into names, skipping the empty ones that doubled separators make.
void appendNames(std::string_view rest, char separator, std::vector<std::string>& names)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i <= rest.size(); ++i) {
        if (i == rest.size() || isSeparator(rest[i], separator)) {
            if (i > start)
                names.emplace_back(rest.substr(start, i - start));
            start = i + 1;
        }
    }
}

} // namespace

PathParts splitPath(std::string_view path, char separator)
{
    PathParts parts;
    const auto sep = [&](std::size_t i) { return i < path.size() && isSeparator(path[i], separator); };
    if (separator != '\\') {
        if (!sep(0))
            return {std::string(path), {}};
        parts.root = std::string(1, separator);
        appendNames(path, separator, parts.names);
        return parts;
    }

    std::size_t restAt = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        parts.root = std::string(path.substr(0, 2)) + separator;
        restAt = 2;
    } else if (sep(0) && sep(1)) {
        // \\server\share\ is the root of a network path.
        std::vector<std::string> head;
        appendNames(path, separator, head);
        parts.root = std::string(2, separator);
        std::size_t taken = 0;
        for (; taken < 2 && taken < head.size(); ++taken)
            parts.root += head[taken] + separator;
        parts.names.assign(head.begin() + static_cast<std::ptrdiff_t>(taken), head.end());
        return parts;
    } else if (sep(0)) {
        parts.root = std::string(1, separator);
    } else {
        return {std::string(path), {}};
    }
    appendNames(path.substr(restAt), separator, parts.names);
    return parts;
}

std::string joinPath(std::string_view dir, std::string_view name, char separator)
{
    std::string joined(dir);
    if (joined.empty() || !isSeparator(joined.back(), separator))
        joined += separator;
    joined += name;
    return joined;
}

DirectoryList::DirectoryList(FileSystem& files, std::string_view start)
    : files_(files),
      separator_(files.separator()),
      drives_(files.drives()),
      parts_(splitPath(start, separator_))
{
    list();
}

bool DirectoryList::open(std::size_t index)
{
    if (index >= entries_.size())
        return false;
    const std::size_t current = currentIndex();
    if (entries_[index].depth == 0 && index != rootIndex_) {
        // Another drive: its root, where the system can read it.
        std::string root = entries_[index].path;
        if (!files_.subdirectories(root))
            return false;
        parts_ = {std::move(root), {}};
    } else if (index < current) {
        parts_.names.resize(index - rootIndex_);
    } else if (index > current) {
        // Copied first: list() replaces the entries.
        std::string name = entries_[index].name;
        parts_.names.push_back(std::move(name));
    }
    list();
    return true;
}

void DirectoryList::list()
{
    entries_.clear();
    // The drives before the current one, the current one's tree, the drives after it. A root that
    // is no drive of the list (a network share) stands first.
    const auto current = std::ranges::find_if(
        drives_, [this](const std::string& drive) { return sameIgnoringCase(drive, parts_.root); });
    auto after = drives_.begin();
    if (current != drives_.end()) {
        for (; after != current; ++after)
            entries_.push_back({*after, *after, 0, false});
        ++after;
    }

    rootIndex_ = entries_.size();
    std::string path = parts_.root;
    entries_.push_back({parts_.root, path, 0, true});
    for (std::size_t i = 0; i < parts_.names.size(); ++i) {
        path = joinPath(path, parts_.names[i], separator_);
        entries_.push_back({parts_.names[i], path, static_cast<int>(i + 1), true});
    }
    path_ = path;

    std::vector<std::string> children;
    if (auto found = files_.subdirectories(path_)) {
        children = std::move(*found);
        std::erase_if(children, [this](const std::string& name) { return !isSubdirectoryName(name, separator_); });
        std::sort(children.begin(), children.end(), lessIgnoringCase);
    }
    const int depth = static_cast<int>(parts_.names.size()) + 1;
    for (auto& name : children) {
        std::string childPath = joinPath(path_, name, separator_);
        entries_.push_back({std::move(name), std::move(childPath), depth, false});
    }
    for (; after != drives_.end(); ++after)
        entries_.push_back({*after, *after, 0, false});
}

} // namespace latchsweep
