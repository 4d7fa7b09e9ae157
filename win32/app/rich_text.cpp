#include "win32/app/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace latchsweep::win32 {

void loadRichEditLibrary()
{
    if (!GetModuleHandleA("riched20.dll"))
        LoadLibraryA("riched20.dll");
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

bool setPlainTextContent(HWND box, std::string_view bytes)
{
    StreamSource source{bytes};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = readChunk;
    SendMessageA(box, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

} // namespace latchsweep::win32
