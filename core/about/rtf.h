#pragma once

// A small reader of rich-text (RTF) documents, enough to show a help text with its character
// formatting: text, paragraphs, bold, italic, underline, strike-through, size, font and colour.
// Tables, pictures, lists and paragraph layout are read as their text alone.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/about/code_pages.h"
#include "core/base/rich_text.h"
#include "core/base/text_decoding.h"

namespace latchsweep {

// Whether the bytes hold a rich-text document rather than plain text.
bool isRtf(std::string_view bytes);

struct RtfDocument {
    std::vector<RtfRun> runs;
    std::optional<unsigned> ansiCodePage; // \ansicpgN, when the document names its code page
};

// Reads a rich-text document into runs of text, adjacent runs always differing in format.
// Escaped bytes (\'hh) and stray bytes of a document that is not UTF-8 are text in the code
// page of their font's charset, else in the document's \ansicpg, else in the system's.
// Malformed input never fails: unbalanced braces, truncated escapes and unknown control words
// are read as far as they make sense, and nesting deeper than the reader keeps is flattened.
RtfDocument readRtf(std::string_view document, const TextDecoding& decoding);
// The same with Windows-1252 as the system's code page.
std::vector<RtfRun> parseRtf(std::string_view document);

} // namespace latchsweep
