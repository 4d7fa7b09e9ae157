#include "about/frm_about.h"

#include "app/application.h"

namespace latchsweep {

frmAbout::frmAbout(Application& app, ViewFactory& views) : app_(app), view_(views.about(*this)) {}
frmAbout::~frmAbout() = default;
void frmAbout::load() {}

} // namespace latchsweep
