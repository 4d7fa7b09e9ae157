#include "tests/support/fake_platform.h"

#include "core/about/rtf.h"

namespace latchsweep::testing {
namespace {

std::optional<std::string> fromWindows1252(unsigned codePage, std::string_view bytes)
{
    if (codePage != kCodePageWindows1252)
        return std::nullopt;
    return windows1252ToUtf8(bytes);
}

// Each character back to the one byte that decodes to it, if there is one.
std::optional<std::string> toWindows1252(unsigned codePage, std::string_view text)
{
    if (codePage != kCodePageWindows1252)
        return std::nullopt;
    std::string bytes;
    while (!text.empty()) {
        char32_t ignored = 0;
        const std::size_t length = static_cast<unsigned char>(text[0]) < 0x80 ? 1 : utf8SequenceLength(text, ignored);
        if (length == 0)
            return std::nullopt;
        const std::string_view character = text.substr(0, length);
        text.remove_prefix(length);
        bool spelled = false;
        for (int byte = 0; byte < 0x100 && !spelled; ++byte) {
            const char c = static_cast<char>(byte);
            spelled = windows1252ToUtf8(std::string_view(&c, 1)) == character;
            if (spelled)
                bytes += c;
        }
        if (!spelled)
            return std::nullopt;
    }
    return bytes;
}

} // namespace

TextDecoding windows1252System() { return {kCodePageWindows1252, fromWindows1252, toWindows1252}; }

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
    // A bare name is in the working directory.
    const std::size_t last = path.rfind(sep);
    if (deniedDirectories.contains(last == std::string::npos ? cwd : path.substr(0, last)))
        return {false, "Access is denied.", true};
    files[path] = std::string(bytes);
    return {};
}

bool FakeFileSystem::createDirectories(const std::string& path)
{
    for (std::size_t end = path.find(sep); end != std::string::npos; end = path.find(sep, end + 1))
        directories.insert(path.substr(0, end == 0 || path[end - 1] == ':' ? end + 1 : end));
    directories.insert(path);
    return true;
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
