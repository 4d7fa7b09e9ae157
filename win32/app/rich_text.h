#pragma once

#include <windows.h>

#include <string_view>

namespace latchsweep::win32 {

// Rich Edit 2.0 and later, present on every Windows the program runs on (riched20.dll), in its
// Unicode class.
inline constexpr const wchar_t* kRichEditClass = L"RichEdit20W";

// Makes sure the rich-edit window class is registered before a box is created.
void loadRichEditLibrary();

// Replaces the box's whole content with UTF-8 text, as plain text: streamed in as UTF-16, so
// that nothing in it is taken for rich-text markup and no character ends it early. False when
// the box refused it; its content is then unchanged.
bool setPlainTextContent(HWND box, std::string_view text);

} // namespace latchsweep::win32
