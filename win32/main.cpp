#include <windows.h>

#include "win32/app/win32_program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    latchsweep::win32::initControlLibraries();
    latchsweep::win32::Win32Program program;
    program.start();
    // Every way out of the program ends the process from inside the loop.
    return latchsweep::win32::runMessageLoop();
}
