#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "tests/support/fake_window_view.h"

namespace latchsweep::testing {

// Records what the help window was given to show; nothing until the load replaces the text.
class FakeHelpView : public FakeWindowView<frmHelpView> {
public:
    std::optional<std::string> text;
    std::optional<std::vector<RtfRun>> runs;
    int loads = 0;
    void setHelpText(const std::string& value) override
    {
        ++loads;
        text = value;
        runs.reset();
    }
    void setHelpRuns(const std::vector<RtfRun>& value) override
    {
        ++loads;
        runs = value;
        text.reset();
    }
};

class FakeAboutView : public FakeWindowView<frmAboutView> {};

} // namespace latchsweep::testing
