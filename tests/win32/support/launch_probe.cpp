// A program for the launch tests: writes the command line it was given (as UTF-8) and the show
// state it was asked for into launched.txt beside itself, then ends.

#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring report = self;
    report = report.substr(0, report.find_last_of(L'\\') + 1) + L"launched.txt";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    const wchar_t* commandLine = GetCommandLineW();
    std::string line(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line.data(), static_cast<int>(line.size()), nullptr, nullptr);
    if (FILE* out = _wfopen(report.c_str(), L"wb")) {
        std::fprintf(out, "%s\n%d\n", line.c_str(),
                     (startup.dwFlags & STARTF_USESHOWWINDOW) ? static_cast<int>(startup.wShowWindow) : -1);
        std::fclose(out);
    }
    return 0;
}
