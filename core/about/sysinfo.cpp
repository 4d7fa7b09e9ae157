#include "core/about/sysinfo.h"

#include <algorithm>
#include <vector>

#include "core/base/ports.h"
#include "core/base/product.h"

namespace latchsweep {
namespace {

std::string dwordText(std::string_view kept)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    // The bytes run from least to most significant; the text from the most significant down.
    std::string hex = "&h";
    for (auto byte = kept.rbegin(); byte != kept.rend(); ++byte) {
        const auto value = static_cast<unsigned char>(*byte);
        hex += kHex[value >> 4];
        hex += kHex[value & 0x0F];
    }
    const std::string_view digits = std::string_view(hex).substr(2);
    const auto first = digits.find_first_not_of('0');
    if (digits.empty() || (first != std::string_view::npos && digits.size() - first > 16))
        return hex; // not a number that fits: the text stays as it is
    std::uint64_t number = 0;
    for (const char digit : digits)
        number = number * 16 + static_cast<std::uint64_t>(std::string_view(kHex).find(digit));
    return std::to_string(number);
}

} // namespace

std::string decodeRegistryValue(std::uint32_t type, std::span<const std::uint8_t> buffer, std::uint32_t size,
                                std::string_view previous)
{
    const std::size_t written = std::min<std::size_t>(size, buffer.size());
    std::string kept(reinterpret_cast<const char*>(buffer.data()), written);
    // One terminating NUL is dropped; no other character is looked at.
    if (!kept.empty() && kept.back() == '\0')
        kept.pop_back();
    switch (type) {
    case kRegSz:
        return kept;
    case kRegDword:
        return dwordText(kept);
    default:
        return std::string(previous);
    }
}

bool GetKeyValue(Registry& registry, RegistryKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal)
{
    RegistryKey key = 0;
    if (registry.open(KeyRoot, KeyName, 0, kKeyRead, key) != 0) {
        KeyVal.clear();
        return false;
    }
    std::vector<std::uint8_t> buffer(kRegistryValueBuffer, 0);
    auto size = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t type = 0;
    const std::int32_t result = registry.query(key, SubKeyRef, type, buffer, size);
    registry.close(key);
    if (result != 0) {
        KeyVal.clear();
        return false;
    }
    KeyVal = decodeRegistryValue(type, buffer, size, KeyVal);
    return true;
}

namespace {

// Steps up to the launch; true once the program is started.
bool launchSysInfo(Registry& registry, FileSystem& files, Launcher* launcher)
{
    std::string path;
    if (!GetKeyValue(registry, kHkeyLocalMachine, std::string(kMsinfoKey), std::string(kMsinfoValue), path)) {
        if (!GetKeyValue(registry, kHkeyLocalMachine, std::string(kToolsLocationKey), std::string(kToolsLocationValue),
                         path))
            return false;
        // The backslash is always added, even after one the value already ends with.
        std::string candidate = path + std::string(kMsinfoProgram);
        if (!isWholePath(candidate) || !files.isNormalFile(candidate))
            return false;
        path = std::move(candidate);
    }
    // A value found under the first key is launched untested; an empty or cut name cannot be a
    // program. The launcher takes the path as the program itself and never splits it at spaces.
    return launcher && isWholePath(path) && launcher->launch(path);
}

} // namespace

void StartSysInfo(Registry& registry, FileSystem& files, Launcher* launcher, MessageBoxes& messages,
                  const WindowView* owner)
{
    try {
        if (launchSysInfo(registry, files, launcher))
            return;
    } catch (...) {
        // A failure on the way means the same to the user as a tool that is not there.
    }
    messages.show(owner, kSysInfoUnavailable, kAppTitle);
}

} // namespace latchsweep
