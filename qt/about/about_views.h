#pragma once

#include <memory>

#include "about/frm_about.h"
#include "about/frm_help.h"
#include "about/system_ports.h"

namespace latchsweep::qt {

std::unique_ptr<frmHelpView> makeHelpView(frmHelp& presenter);
std::unique_ptr<frmAboutView> makeAboutView(frmAbout& presenter);

// Where there is no registry, every open fails, so System Information is reported unavailable.
std::unique_ptr<Registry> makeRegistry();
std::unique_ptr<Launcher> makeLauncher();

} // namespace latchsweep::qt
