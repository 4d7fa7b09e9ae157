#include "tests/support/fake_platform.h"

namespace latchsweep::testing {

std::optional<std::string> FakeFileSystem::readHead(const std::string& path, std::size_t maxBytes)
{
    const auto found = files.find(path);
    if (found == files.end())
        return std::nullopt;
    return found->second.substr(0, maxBytes);
}

WriteStatus FakeFileSystem::replaceFile(const std::string& path, std::string_view bytes)
{
    if (!failWritesWith.empty())
        return {false, failWritesWith};
    files[path] = std::string(bytes);
    return {};
}

bool FakeFileSystem::removeFile(const std::string& path)
{
    removeAttempts.push_back(path);
    if (files.erase(path) == 0)
        return false;
    removed.push_back(path);
    return true;
}

std::optional<std::vector<std::string>> FakeFileSystem::subdirectories(const std::string& dir)
{
    if (!directories.contains(dir))
        return std::nullopt;
    std::vector<std::string> names;
    const std::string prefix = dir.ends_with(sep) ? dir : dir + sep; // a root ("/", "C:\\") ends with one
    for (const auto& path : directories)
        if (path.size() > prefix.size() && path.starts_with(prefix) &&
            path.find(sep, prefix.size()) == std::string::npos)
            names.push_back(path.substr(prefix.size()));
    return names;
}

bool FakeTray::notify(std::uint32_t message, const NotifyIconData& record)
{
    calls.push_back({message, record});
    return TrayIcons::notify(
        message, record, isAvailable, [](const NotifyIconData& added) { return added; },
        [](NotifyIconData& icon, const NotifyIconData& modified) { icon = modified; },
        [](const Key&, NotifyIconData&) {});
}

} // namespace latchsweep::testing
