#pragma once

// Text in the code pages of Windows, as rich-text documents and the help text name them: the
// program's own Windows-1252, the code page of a font's charset, and the rest by the system's
// conversion.

#include <string>
#include <string_view>

#include "core/base/text_decoding.h"

namespace latchsweep {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The text of bytes in a code page, as UTF-8. A code page that neither this library nor the
// system's conversion knows is read as Windows-1252, as is text that is not UTF-8 after all.
std::string decodeCodePage(std::string_view bytes, unsigned codePage, const TextDecoding& decoding);

// The code page of a font charset (\fcharsetN), or 0 for a charset that names none.
unsigned codePageOfCharset(int charset);

// The text of single-byte Windows-1252 bytes as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

// Appends the UTF-8 form of a code point; surrogates and values beyond U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace latchsweep
