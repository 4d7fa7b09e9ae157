#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/base/rich_text.h"

namespace latchsweep::win32 {

// Rich Edit 2.0 and later, present on every Windows the program runs on (riched20.dll), in its
// Unicode class.
inline constexpr const wchar_t* kRichEditClass = L"RichEdit20W";

// Makes sure the rich-edit window class is registered before a box is created.
void loadRichEditLibrary();

// Replaces the box's whole content with UTF-8 text, as plain text: streamed in as UTF-16, so
// that nothing in it is taken for rich-text markup and no character ends it early.
void setPlainTextContent(HWND box, std::string_view text);

// Replaces the box's whole content with the runs, each in its format; what a format leaves open
// (family, size, colour) is the box's own.
void setRuns(HWND box, const std::vector<RtfRun>& runs);

} // namespace latchsweep::win32
