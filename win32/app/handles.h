#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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
inline IconHandle toIconHandle(HICON icon) { return toHandle32(icon); }

// A handle that `release` frees on every way out of its owner's scope: a file (CloseHandle), a
// menu no window owns (DestroyMenu), a brush or font (DeleteObject).
template <auto release>
struct Releaser {
    void operator()(auto handle) const { release(handle); }
};
template <class Handle, auto release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<release>>;

// The text of a window or control, as UTF-8.
std::string windowText(HWND window);

// The core's text is UTF-8; the system's is UTF-16. For what is only shown (captions, control
// texts, menus, messages), an invalid sequence either way becomes U+FFFD.
std::wstring fromUtf8(std::string_view text);
std::string toUtf8(std::wstring_view text);

// For names the system acts on (files, programs, registry keys): the exact conversion or none,
// so that a malformed name is refused rather than turned into another. A name with a NUL inside
// is refused too: the system would read a shorter one.
std::optional<std::wstring> wideName(std::string_view utf8);
std::optional<std::string> utf8Name(std::wstring_view wide);
// The same for text that may hold NULs (a registry value's).
std::optional<std::string> utf8Exactly(std::wstring_view wide);

// Text in a Windows code page as UTF-8, by the system's own conversion; nothing for a code page
// the system does not have.
std::optional<std::string> codePageToUtf8(unsigned codePage, std::string_view bytes);

// UTF-8 text in a Windows code page, only when every character has its own spelling there: no
// best fit (no "a" for an "a" with a macron), no default character. Nothing otherwise, or for text that is not
// UTF-8, or for a code page the system does not have.
std::optional<std::string> utf8ToCodePage(unsigned codePage, std::string_view text);

// The system's own description of an error code, without the trailing line break.
std::string systemMessage(DWORD error);

} // namespace latchsweep::win32
