#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/about/rtf.h"
#include "core/base/text_decoding.h"

namespace latchsweep {

// What the help window shows for the bytes of its help file.
struct HelpDocument {
    bool rich = false;
    std::string text;         // plain text, UTF-8, paragraphs ending in '\n'
    std::vector<RtfRun> runs; // a rich-text document
};

// Rich text when the file is a rich-text document. Plain text is read as the data files are
// (core/base/text_decoding.h): UTF-8 behind a byte-order mark, otherwise in the system's code
// page; what that rule cannot read is shown in the system's code page all the same (Windows-1252
// where the system cannot convert it). CR LF and lone CR become '\n'. So that no text box takes
// minutes to lay it out, a word longer than 256 characters gets a zero-width space after every
// 256, and a paragraph with more than 256 changes of format goes on in its 256th format.
HelpDocument readHelpDocument(std::string_view bytes, const TextDecoding& decoding = kTextAsItIs);

} // namespace latchsweep
