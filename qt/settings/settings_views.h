#pragma once

#include <QWidget>
#include <memory>

#include "core/settings/form2.h"
#include "core/settings/form3.h"

namespace latchsweep::qt {

// The settings windows on Qt. The core owns each view; when it discards one, the window hides at
// once and is deleted when control is back in the event loop, since the discard may come from
// one of the window's own handlers (its Save button, its close box). From then on the window
// sends nothing more to its presenter.
std::unique_ptr<Form2View> makeForm2View(Form2& presenter);
std::unique_ptr<Form3View> makeForm3View(Form3& presenter);

// The top-level window behind a view made here.
QWidget* windowOf(Form2View& view);
QWidget* windowOf(Form3View& view);

} // namespace latchsweep::qt
