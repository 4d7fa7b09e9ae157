#pragma once

#include <memory>

#include "settings/form2.h"
#include "settings/form3.h"

namespace latchsweep::qt {

std::unique_ptr<Form2View> makeForm2View(Form2& presenter);
std::unique_ptr<Form3View> makeForm3View(Form3& presenter);

} // namespace latchsweep::qt
