#include <windows.h>

#include "win32/app/win32_program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    latchsweep::win32::initControlLibraries();
    latchsweep::win32::Win32Program program;
    program.start();
    // The thread's message loop: every way out of the program ends the process from inside it.
    // Keyboard navigation (Tab, Enter, Esc, Alt with a button's letter) works in every window of
    // the program, as in dialogs.
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
