// A program for the end-to-end run: prints, as UTF-8, one line for the text of every control of
// each top-level window whose title is the argument, in whichever process it is, as the window
// shows it. Line breaks inside a text are printed as " | ".

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text)
{
    std::string bytes(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

BOOL CALLBACK printControl(HWND control, LPARAM)
{
    // WM_GETTEXT itself: GetWindowText gives only the stored caption of another process's window,
    // never what its box holds.
    const auto length = static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
            shown += L" | ";
        } else {
            shown += text[i];
        }
    }
    std::printf("%s\n", utf8(shown).c_str());
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    for (HWND window = FindWindowExW(nullptr, nullptr, nullptr, argv[1]); window;
         window = FindWindowExW(nullptr, window, nullptr, argv[1]))
        EnumChildWindows(window, printControl, 0);
    return 0;
}
