#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace latchsweep {

inline constexpr unsigned kCodePageWindows1252 = 1252;
inline constexpr unsigned kCodePageUtf8 = 65001;

// The byte-order mark that opens a data file written in UTF-8.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How text is read and written on this system. The core's text is UTF-8 throughout; files hold
// single-byte text in `codePage` unless they say otherwise (the system's ANSI code page on
// Windows). `convert` is the system's conversion from a code page to UTF-8, `encode` the one
// from UTF-8 to a code page, exact or not at all: nothing back unless every character has its
// own spelling there (no best fit, no default character). Either may be missing: the system
// does not know the code page. Windows-1252 and UTF-8 need no conversion of the system's for
// reading. The file-system port says which applies here (FileSystem::textDecoding).
struct TextDecoding {
    unsigned codePage = kCodePageWindows1252;
    std::optional<std::string> (*convert)(unsigned codePage, std::string_view bytes) = nullptr;
    std::optional<std::string> (*encode)(unsigned codePage, std::string_view text) = nullptr;
};

// A system whose files hold their names and text as they are (POSIX: paths are bytes there).
inline constexpr TextDecoding kTextAsItIs{kCodePageUtf8, nullptr, nullptr};

// The data files' one rule, both ways. Reading: a leading byte-order mark means UTF-8 (the mark
// is dropped, and what follows must be UTF-8); anything else is in the system's code page and is
// converted by the system, so that a file written in the ANSI code page reads as it always did.
// Nothing when the text cannot be read as that. On a system of text as it is, the bytes are the
// text. Writing: text the code page spells exactly is written in it, byte for byte; other text
// as UTF-8 behind a byte-order mark. Nothing for text that is not UTF-8 there: no name is ever
// guessed at.
std::optional<std::string> decodeText(std::string_view bytes, const TextDecoding& decoding);
// The same, keeping the bytes' storage where they are the text already (the sweep reads the
// path at every tick).
std::optional<std::string> decodeTextInPlace(std::string&& bytes, const TextDecoding& decoding);
std::optional<std::string> encodeText(std::string_view text, const TextDecoding& decoding);

// The length of the well-formed UTF-8 sequence at the start of `bytes` with its code point, or 0.
std::size_t utf8SequenceLength(std::string_view bytes, char32_t& codePoint);

// Whether the bytes are well-formed UTF-8 throughout.
bool isUtf8(std::string_view bytes);

// Text for a box that shows every line of a file: each line break, CR LF or a lone CR or LF, as
// one LF.
std::string withLineFeeds(std::string_view text);

} // namespace latchsweep
