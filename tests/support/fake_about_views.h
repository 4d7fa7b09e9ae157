#pragma once

#include "about/frm_about.h"
#include "about/frm_help.h"
#include "fake_window_view.h"

namespace latchsweep::testing {

class FakeHelpView : public FakeWindowView<frmHelpView> {};
class FakeAboutView : public FakeWindowView<frmAboutView> {};

} // namespace latchsweep::testing
