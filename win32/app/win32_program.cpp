#include "win32/app/win32_program.h"

#include <commctrl.h>

#include "win32/app/rich_text.h"

namespace latchsweep::win32 {

void initControlLibraries()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    loadRichEditLibrary();
}

} // namespace latchsweep::win32
