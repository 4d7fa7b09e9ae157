#pragma once

// Opening and closing every window but the main one, again and again, as a user does over a long
// day: the resident memory must stay flat, since nothing a window takes (its icons, its
// picture, its fonts) may stay behind or be taken afresh each time. Shared by the Qt and the
// Win32 measurement; each front end says how to let its windows go and how to read the
// resident memory.

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/application.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"

namespace latchsweep::bench {

inline constexpr long kGrowthLimitKiB = 1024;

// Form2, Form3, frmHelp and frmAbout opened as the menus open them, then closed by their close
// boxes (the presenters' own close handlers).
inline void openAndCloseEveryWindow(Application& app, const std::function<void()>& settle)
{
    for (const Command command :
         {Command::OpenGameDirectory, Command::OpenAutoDelete, Command::OpenHelp, Command::OpenAbout})
        app.run(command);
    settle();
    if (Form2* form2 = app.form2().get())
        form2->onClose();
    if (Form3* form3 = app.form3().get())
        form3->onClose();
    if (frmHelp* help = app.help().get())
        help->onClose();
    if (frmAbout* about = app.about().get())
        about->onClose();
    settle();
}

// Runs `cycles` after a warm-up (fonts, caches and the allocator's pools fill in the first
// ones), prints the figure and returns the exit status: 0 when the growth is under the limit.
inline int measureWindowCycles(const char* frontEnd, Application& app, int cycles, const std::function<void()>& settle,
                               const std::function<long()>& residentKiB)
{
    constexpr int kWarmUp = 50;
    for (int i = 0; i < kWarmUp; ++i)
        openAndCloseEveryWindow(app, settle);
    const long before = residentKiB();
    for (int i = 0; i < cycles; ++i)
        openAndCloseEveryWindow(app, settle);
    const long after = residentKiB();
    const long growth = after - before;
    std::printf(
        "%s: %d open/close cycles of Form2, Form3, frmHelp and frmAbout: resident %ld KiB -> %ld KiB, "
        "growth %ld KiB (%.2f KiB per cycle); limit %ld KiB: %s\n",
        frontEnd, cycles, before, after, growth, static_cast<double>(growth) / cycles, kGrowthLimitKiB,
        growth < kGrowthLimitKiB ? "met" : "NOT met");
    return growth < kGrowthLimitKiB ? EXIT_SUCCESS : EXIT_FAILURE;
}

inline int cyclesFromArguments(int argc, char** argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 500;
    return cycles > 0 ? cycles : 500;
}

} // namespace latchsweep::bench
