// A program for the launch tests: writes the command line it was given and the show state it
// was asked for into launched.txt beside itself, then ends.

#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string report = self;
    report = report.substr(0, report.find_last_of('\\') + 1) + "launched.txt";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    if (FILE* out = std::fopen(report.c_str(), "wb")) {
        std::fprintf(out, "%s\n%d\n", GetCommandLineA(),
                     (startup.dwFlags & STARTF_USESHOWWINDOW) ? static_cast<int>(startup.wShowWindow) : -1);
        std::fclose(out);
    }
    return 0;
}
