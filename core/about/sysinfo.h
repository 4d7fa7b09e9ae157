#pragma once

// Finding and starting the system's System Information tool through the registry.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/base/system_ports.h"

namespace latchsweep {

class FileSystem;
class MessageBoxes;
class WindowView;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Read rights only (KEY_READ): a standard account may read these keys but not write them.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::size_t kRegistryValueBuffer = 1024;

inline constexpr std::string_view kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsinfoValue = "PATH";
inline constexpr std::string_view kToolsLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kToolsLocationValue = "MSINFO";
inline constexpr std::string_view kMsinfoProgram = "\\MSINFO32.EXE";
inline constexpr std::string_view kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// The text of a value read into the buffer: `size` is the number of bytes the registry wrote.
// One terminating NUL is dropped. REG_SZ gives its text, REG_DWORD its number in decimal digits,
// any other type leaves `previous` as it was. Never reads past the buffer, whatever `size` says.
std::string decodeRegistryValue(std::uint32_t type, std::span<const std::uint8_t> buffer, std::uint32_t size,
                                std::string_view previous);

// Reads the value `SubKeyRef` of the key `KeyName` below `KeyRoot` into `KeyVal`. False, with
// `KeyVal` empty, when the key cannot be opened or the value cannot be read (also when it
// holds more than 1024 bytes). The key is closed again before returning.
bool GetKeyValue(Registry& registry, RegistryKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal);

// Starts System Information from where the registry says it is, or tells the user that it is
// unavailable, in a box owned by `owner` (the about box); without a launcher it is always
// unavailable. Only the first location is launched
// unseen; the second must hold the program.
void StartSysInfo(Registry& registry, FileSystem& files, Launcher* launcher, MessageBoxes& messages,
                  const WindowView* owner = nullptr);

} // namespace latchsweep
