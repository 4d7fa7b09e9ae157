#pragma once

#include <QWidget>
#include <memory>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/base/system_ports.h"

namespace latchsweep::qt {

// The help window and the about box on Qt. The core owns each view; when it discards one, the
// window hides at once and is deleted once control is back in the event loop, since the discard
// comes from one of the window's own handlers. From then on the window sends nothing more to
// its presenter.
std::unique_ptr<frmHelpView> makeHelpView(frmHelp& presenter);
std::unique_ptr<frmAboutView> makeAboutView(frmAbout& presenter);

// The top-level window behind a view made here.
QWidget* windowOf(frmHelpView& view);
QWidget* windowOf(frmAboutView& view);

// This platform has no registry: every open fails, so System Information is reported
// unavailable.
std::unique_ptr<Registry> makeRegistry();
// Starts programs with posix_spawn, the path being the program itself (never a shell).
std::unique_ptr<Launcher> makeLauncher();

} // namespace latchsweep::qt
