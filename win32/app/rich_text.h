#pragma once

#include <windows.h>

#include <string_view>

namespace latchsweep::win32 {

// Rich Edit 2.0 and later, present on every Windows the program runs on (riched20.dll). The
// Unicode class: text given in the ANSI code page is converted on the way in and out, and
// UTF-8 text can go in whole.
inline constexpr const char* kRichEditClass = "RichEdit20W";

// Makes sure the rich-edit window class is registered before a box is created.
void loadRichEditLibrary();

// Replaces the box's whole content with bytes in the system's ANSI code page, as plain text:
// streamed in, so that nothing in them is taken for rich-text markup and no byte ends them
// early. False when the box refused them; its content is then unchanged.
bool setPlainTextContent(HWND box, std::string_view bytes);

} // namespace latchsweep::win32
