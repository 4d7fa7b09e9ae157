#include "about/frm_help.h"

#include "app/application.h"

namespace latchsweep {

frmHelp::frmHelp(Application& app, ViewFactory& views) : app_(app), view_(views.help(*this)) {}
frmHelp::~frmHelp() = default;
void frmHelp::load() {}

} // namespace latchsweep
