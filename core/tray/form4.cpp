#include "tray/form4.h"

#include "app/application.h"

namespace latchsweep {

Form4::Form4(Application&, ViewFactory& views) : view_(views.form4(*this)) {}
Form4::~Form4() = default;

} // namespace latchsweep
