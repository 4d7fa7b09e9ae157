#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace latchsweep {

class FileSystem;
class MessageBoxes;
class WindowView;

// The most the settings windows read of a data file. Each holds one short line; anything past
// this bound is not read at all, so a huge file (or a device under the name) cannot stall or
// exhaust the program. A longer file shows its first 64 KiB.
inline constexpr std::size_t kSettingsReadLimit = 64 * 1024;

// The reason given when a line is not text this system can write (not UTF-8 on Windows).
inline constexpr std::string_view kNotText = "the text is not valid Unicode";

// The file's content up to kSettingsReadLimit, as text (UTF-8, by the data files' rule in
// core/base/text_decoding.h); nothing when it cannot be read or is not text. Where Windows
// virtualizes the working directory, the file's copy in the user's virtual store comes first:
// the original program, virtualized, read and saved its settings there.
std::optional<std::string> readSettingFile(FileSystem& files, std::string_view name);

// Replaces the whole file by `line` and CR LF: in the system's code page when it spells the line
// exactly, else as UTF-8 behind a byte-order mark. Where Windows virtualizes the working
// directory, the save goes where reading finds the file, and one refused for lack of access is
// made at the file's copy in the virtual store, its folders made as needed. A failure is told to
// the user, naming the file and the system's reason, under the program's title; the old content
// is then still in place.
// True only once the file was really written. `window` is the window whose Save asked.
bool writeSettingLine(FileSystem& files, MessageBoxes& messages, const WindowView& window, std::string_view name,
                      std::string_view line);

// The message for a failed write.
std::string saveFailedMessage(std::string_view name, std::string_view reason);

} // namespace latchsweep
