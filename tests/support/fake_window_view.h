#pragma once

namespace latchsweep::testing {

// What every fake view records about its window on screen.
template <class Base>
class FakeWindowView : public Base {
public:
    int showCount = 0;
    bool shown = false;
    void show() override
    {
        ++showCount;
        shown = true;
    }
    [[nodiscard]] bool isShown() const override { return shown; }
};

} // namespace latchsweep::testing
