#include "settings/form2.h"

#include "app/application.h"

namespace latchsweep {

Form2::Form2(Application& app, ViewFactory& views) : app_(app), view_(views.form2(*this)) {}
Form2::~Form2() = default;
void Form2::load() {}

} // namespace latchsweep
