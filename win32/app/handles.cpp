#include "win32/app/handles.h"

#include <algorithm>

namespace latchsweep::win32 {

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return toUtf8(text);
}

namespace {

int clampedSize(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, 0x7fffffff)); }

// Nothing when the system refuses the conversion (with MB_ERR_INVALID_CHARS, a malformed one).
std::optional<std::wstring> toWide(UINT codePage, DWORD flags, std::string_view text)
{
    if (text.empty())
        return std::wstring();
    const int size = clampedSize(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length) != length)
        return std::nullopt;
    return wide;
}

// Nothing when a character had no spelling of its own in the code page (UTF-8 has one for all).
std::optional<std::string> fromWide(UINT codePage, DWORD flags, std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    const int size = clampedSize(wide.size());
    BOOL usedDefault = FALSE;
    BOOL* const defaulted = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, defaulted);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, defaulted) != length ||
        usedDefault)
        return std::nullopt;
    return text;
}

} // namespace

std::wstring fromUtf8(std::string_view text) { return toWide(CP_UTF8, 0, text).value_or(std::wstring()); }

std::string toUtf8(std::wstring_view text) { return fromWide(CP_UTF8, 0, text).value_or(std::string()); }

std::optional<std::wstring> wideName(std::string_view utf8)
{
    if (utf8.find('\0') != std::string_view::npos)
        return std::nullopt;
    return toWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::optional<std::string> utf8Name(std::wstring_view wide)
{
    if (wide.find(L'\0') != std::wstring_view::npos)
        return std::nullopt;
    return utf8Exactly(wide);
}

std::optional<std::string> utf8Exactly(std::wstring_view wide) { return fromWide(CP_UTF8, WC_ERR_INVALID_CHARS, wide); }

std::optional<std::string> codePageToUtf8(unsigned codePage, std::string_view bytes)
{
    const auto wide = IsValidCodePage(codePage) ? toWide(codePage, 0, bytes) : std::nullopt;
    return wide ? fromWide(CP_UTF8, 0, *wide) : std::nullopt;
}

std::optional<std::string> utf8ToCodePage(unsigned codePage, std::string_view text)
{
    const auto wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    if (!wide || !IsValidCodePage(codePage))
        return std::nullopt;
    if (codePage == CP_UTF8)
        return std::string(text); // the system takes neither flag nor default character for it
    return fromWide(codePage, WC_NO_BEST_FIT_CHARS, *wide);
}

std::string systemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::string text;
    if (length > 0 && buffer)
        text = toUtf8(std::wstring_view(buffer, length));
    LocalFree(buffer);
    text.erase(text.find_last_not_of("\r\n ") + 1); // all of it when there is nothing else
    if (text.empty())
        text = "Error " + std::to_string(error);
    return text;
}

} // namespace latchsweep::win32
