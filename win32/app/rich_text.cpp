#include "win32/app/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/app/handles.h"

namespace latchsweep::win32 {

void loadRichEditLibrary()
{
    if (!GetModuleHandleW(L"riched20.dll"))
        LoadLibraryW(L"riched20.dll");
}

namespace {

struct StreamSource {
    std::string_view bytes;
    std::size_t offset = 0;
};

DWORD CALLBACK readChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t left = source->bytes.size() - source->offset;
    const std::size_t count = std::min(left, static_cast<std::size_t>(wanted > 0 ? wanted : 0));
    std::memcpy(buffer, source->bytes.data() + source->offset, count);
    source->offset += count;
    *given = static_cast<LONG>(count);
    return 0;
}

} // namespace

bool setPlainTextContent(HWND box, std::string_view text)
{
    const std::wstring wide = fromUtf8(text);
    StreamSource source{std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t))};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = readChunk;
    SendMessageW(box, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

} // namespace latchsweep::win32
