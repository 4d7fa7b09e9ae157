#include "win32/app/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/app/handles.h"

namespace latchsweep::win32 {
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

CHARFORMAT2W formatFor(const RtfFormat& source, const CHARFORMAT2W& boxFormat)
{
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask =
        CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_CHARSET | CFM_SIZE | CFM_COLOR;
    format.dwEffects = (source.bold ? CFE_BOLD : 0u) | (source.italic ? CFE_ITALIC : 0u) |
                       (source.underline ? CFE_UNDERLINE : 0u) | (source.strike ? CFE_STRIKEOUT : 0u);
    format.yHeight = source.halfPoints > 0 ? source.halfPoints * 10 : boxFormat.yHeight; // twips
    if (source.family.empty()) {
        lstrcpynW(format.szFaceName, boxFormat.szFaceName, LF_FACESIZE);
        format.bCharSet = boxFormat.bCharSet;
    } else {
        lstrcpynW(format.szFaceName, fromUtf8(source.family).c_str(), LF_FACESIZE);
        format.bCharSet = DEFAULT_CHARSET;
    }
    if (source.colour)
        format.crTextColor = RGB(source.colour->red, source.colour->green, source.colour->blue);
    else
        format.dwEffects |= CFE_AUTOCOLOR;
    return format;
}

} // namespace

void loadRichEditLibrary()
{
    if (!GetModuleHandleW(L"riched20.dll"))
        LoadLibraryW(L"riched20.dll");
}

void setPlainTextContent(HWND box, std::string_view text)
{
    const std::wstring wide = fromUtf8(text);
    StreamSource source{std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t))};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = readChunk;
    SendMessageW(box, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
}

void setRuns(HWND box, const std::vector<RtfRun>& runs)
{
    CHARFORMAT2W boxFormat{};
    boxFormat.cbSize = sizeof(boxFormat);
    SendMessageW(box, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&boxFormat));
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    for (const RtfRun& run : runs) {
        SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        CHARFORMAT2W format = formatFor(run.format, boxFormat);
        SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        const std::wstring text = fromUtf8(run.text);
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

} // namespace latchsweep::win32
