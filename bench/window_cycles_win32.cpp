// The Win32 program's resident memory (its working set) over many openings and closings of its
// windows. Built with the Windows tests (preset windows-x64), run under Wine by scripts/bench.sh.
//
//   window_cycles_win32.exe [cycles=500]      (in a scratch working directory, on any display)

#include <windows.h>
#include <psapi.h>

#include "bench/window_cycles.h"
#include "win32/app/win32_program.h"

namespace {

long residentKiB()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

void settle()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    latchsweep::win32::initControlLibraries();
    latchsweep::win32::Win32Program program;
    program.start();
    settle();
    return latchsweep::bench::measureWindowCycles(
        "Win32", program.app(), latchsweep::bench::cyclesFromArguments(argc, argv), settle, residentKiB);
}
