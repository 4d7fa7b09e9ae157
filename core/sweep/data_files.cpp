#include "core/sweep/data_files.h"

#include <utility>

#include "core/base/ports.h"
#include "core/base/virtual_store.h"

namespace latchsweep {
namespace {

// The first line where it stands among the bytes; the sweep copies nothing it does not keep.
std::optional<std::string_view> firstLineOf(std::string_view bytes)
{
    if (bytes.empty())
        return std::nullopt; // end of file before any line
    const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    if (end > kMaxFirstLine)
        return std::nullopt;
    return bytes.substr(0, end);
}

} // namespace

std::optional<std::string> firstLine(std::string_view bytes)
{
    const auto line = firstLineOf(bytes);
    return line ? std::optional<std::string>(*line) : std::nullopt;
}

std::string_view withoutFinalLineBreak(std::string_view content)
{
    if (content.ends_with(kLineEnd))
        content.remove_suffix(kLineEnd.size());
    else if (content.ends_with('\r') || content.ends_with('\n'))
        content.remove_suffix(1);
    return content;
}

std::optional<std::string> readFirstLine(FileSystem& files, std::string_view name)
{
    // One byte beyond the bound tells a line of exactly kMaxFirstLine from a longer one.
    auto head = readHeadSeenByLegacyPrograms(files, name, kUtf8Mark.size() + kMaxFirstLine + 1);
    if (!head)
        return std::nullopt;
    // The line is found among the bytes, before they are decoded: a line break is the same byte
    // in every code page the file may be in, and never part of a longer character. Only the
    // line is decoded, its mark with it, so a cut further on cannot spoil it.
    const std::string_view bytes = *head;
    const std::size_t mark = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    const auto line = firstLineOf(bytes.substr(mark));
    if (!line)
        return std::nullopt;
    head->resize(mark + line->size());
    return decodeTextInPlace(std::move(*head), files.textDecoding());
}

} // namespace latchsweep
