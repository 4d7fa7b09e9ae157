#include "settings/form3.h"

#include "app/application.h"

namespace latchsweep {

Form3::Form3(Application& app, ViewFactory& views) : app_(app), view_(views.form3(*this)) {}
Form3::~Form3() = default;
void Form3::load() {}

} // namespace latchsweep
