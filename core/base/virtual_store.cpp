#include "core/base/virtual_store.h"

#include <algorithm>
#include <vector>

namespace latchsweep {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char foldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

// A local path taken apart: its drive letter and the names below the drive's root.
struct LocalPath {
    char drive = 0;
    std::vector<std::string_view> names;
};

bool startsWithDrive(std::string_view path) { return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':'; }

// A path that does not depend on the working directory: on a drive (maybe drive-relative) or a share.
bool namesItsDrive(std::string_view path)
{
    return startsWithDrive(path) || (path.size() > 1 && isSeparator(path[0]) && isSeparator(path[1]));
}

// Appends the names of `rest` to `names`, resolving "." and ".." on the way; a ".." at the root
// stays at the root, as the system has it.
void appendNames(std::vector<std::string_view>& names, std::string_view rest)
{
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find_first_of("\\/"), rest.size());
        const std::string_view name = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + 1));
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
            continue;
        }
        names.push_back(name);
    }
}

// An absolute path on a drive ("C:\..."), also in its long form ("\\?\C:\..."); nothing for a
// share, a device or a relative path.
std::optional<LocalPath> parseAbsolute(std::string_view path)
{
    if (path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] == '?' && isSeparator(path[3]))
        path.remove_prefix(4);
    if (!startsWithDrive(path) || path.size() < 3 || !isSeparator(path[2]))
        return std::nullopt;
    LocalPath local{foldAscii(path[0]), {}};
    appendNames(local.names, path.substr(3));
    return local;
}

std::optional<LocalPath> parse(std::string_view path, std::string_view workingDirectory)
{
    if (path.empty())
        return std::nullopt;
    if (namesItsDrive(path))
        return parseAbsolute(path); // a drive-relative "C:name" is refused there
    auto local = parseAbsolute(workingDirectory);
    if (!local)
        return std::nullopt;
    if (isSeparator(path[0]))
        local->names.clear(); // "\name": from the root of the working directory's drive
    appendNames(local->names, path);
    return local;
}

// Whether `folder` holds `path` below it (not the folder itself).
bool liesBelow(const LocalPath& path, const LocalPath& folder)
{
    return path.drive == folder.drive && path.names.size() > folder.names.size() &&
           std::equal(folder.names.begin(), folder.names.end(), path.names.begin(), sameName);
}

} // namespace

std::optional<std::string> virtualStoreCopy(std::string_view path, std::string_view workingDirectory,
                                            const VirtualStore& store)
{
    if (store.folders.empty() || store.root.empty())
        return std::nullopt;
    const auto local = parse(path, workingDirectory);
    if (!local)
        return std::nullopt;
    const bool virtualized = std::ranges::any_of(store.folders, [&](const std::string& folder) {
        const auto parsed = parseAbsolute(folder);
        return parsed && !parsed->names.empty() && liesBelow(*local, *parsed);
    });
    if (!virtualized)
        return std::nullopt;
    std::string copy = store.root;
    while (!copy.empty() && isSeparator(copy.back()))
        copy.pop_back();
    for (const std::string_view name : local->names)
        copy.append(1, '\\').append(name);
    return copy;
}

std::optional<std::string> virtualStoreCopy(FileSystem& files, std::string_view path)
{
    const VirtualStore& store = files.virtualStore();
    if (store.folders.empty())
        return std::nullopt;
    return virtualStoreCopy(path, namesItsDrive(path) ? std::string() : files.currentDirectory(), store);
}

std::optional<std::string> readHeadSeenByLegacyPrograms(FileSystem& files, std::string_view path, std::size_t maxBytes)
{
    if (const auto copy = virtualStoreCopy(files, path))
        if (auto head = files.readHead(*copy, maxBytes))
            return head;
    return files.readHead(std::string(path), maxBytes);
}

std::string saveTarget(FileSystem& files, std::string_view path)
{
    if (auto copy = virtualStoreCopy(files, path); copy && files.readHead(*copy, 0))
        return std::move(*copy);
    return std::string(path);
}

std::optional<std::string> saveRefusedTo(FileSystem& files, std::string_view target, const WriteStatus& status)
{
    if (status.ok || !status.accessDenied)
        return std::nullopt;
    return virtualStoreCopy(files, target);
}

} // namespace latchsweep
