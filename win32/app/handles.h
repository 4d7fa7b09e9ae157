#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/tray_port.h"

namespace latchsweep::win32 {

// Window and icon handles are 32-bit values on every Windows: a 64-bit process holds them
// sign-extended. That is what lets the core carry them in the 32-bit record and use an icon's
// handle as the tray id.
inline std::uint32_t toHandle32(const void* handle)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

template <class Handle>
Handle fromHandle32(std::uint32_t value)
{
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

inline WindowHandle toWindowHandle(HWND window) { return toHandle32(window); }
inline HWND toHwnd(WindowHandle window) { return fromHandle32<HWND>(window); }
inline IconHandle toIconHandle(HICON icon) { return toHandle32(icon); }
inline HICON toHicon(IconHandle icon) { return fromHandle32<HICON>(icon); }

// The text of a window or control, in the system's ANSI code page.
std::string windowText(HWND window);

// UTF-8 text as the system's wide characters; an invalid sequence becomes U+FFFD.
std::wstring fromUtf8(std::string_view text);

// Text in a Windows code page as UTF-8, by the system's own conversion; nothing for a code page
// the system does not have.
std::optional<std::string> codePageToUtf8(unsigned codePage, std::string_view bytes);

// The system's own description of an error code, without the trailing line break.
std::string systemMessage(DWORD error);

} // namespace latchsweep::win32
