#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace latchsweep {

class FileSystem;

// The program's files, opened by bare name in the current working directory at each access. The
// help file, read by the help window alone, is frmHelp::kHelpFile (about/frm_help.h).
inline constexpr std::string_view kDirectoryFile = "Directory.txt";
inline constexpr std::string_view kAutoDeleteFile = "AutoDelete.txt";
inline constexpr std::string_view kLockFileName = "MM2.LOCK";
inline constexpr std::string_view kLineEnd = "\r\n";

// The longest first line the sweeper reads; a longer one names nothing.
inline constexpr std::size_t kMaxFirstLine = 32 * 1024;

// The first line of `bytes`: everything before the first CR, LF or CR LF. Nothing when there
// is no line at all (empty content) or the line is longer than kMaxFirstLine.
std::optional<std::string> firstLine(std::string_view bytes);

// What a settings window shows of a data file: the content without its final line break (CR LF,
// or a lone CR or LF). A save adds CR LF again, so loading and saving gives back the same bytes;
// breaks before the last one are part of the text and stay.
std::string_view withoutFinalLineBreak(std::string_view content);

// The first line of a file as text (UTF-8), reading no more than the bound needs. The files hold
// their text by one rule (decodeText, core/base/text_decoding.h): a line behind a byte-order mark
// is UTF-8, and the bound counts the line without the mark. Nothing when the line cannot be read
// as text: the sweeper then deletes nothing rather than a file of another name. Read from its
// virtual-store copy where only that exists (see readSettingFile).
std::optional<std::string> readFirstLine(FileSystem& files, std::string_view name);

} // namespace latchsweep
