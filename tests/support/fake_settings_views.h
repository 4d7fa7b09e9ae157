#pragma once

#include <string>

#include "fake_window_view.h"
#include "settings/form2.h"
#include "settings/form3.h"

namespace latchsweep::testing {

class FakeForm2View : public FakeWindowView<Form2View> {};

class FakeForm3View : public FakeWindowView<Form3View> {
public:
    std::string text = Form3::kInitialDelay;
    [[nodiscard]] std::string text1() const override { return text; }
    void setText1(const std::string& value) override { text = value; }
};

} // namespace latchsweep::testing
