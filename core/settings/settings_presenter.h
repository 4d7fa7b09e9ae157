#pragma once

#include <string_view>

#include "core/base/presenter.h"
#include "core/settings/setting_file.h"

namespace latchsweep {

// The settings windows' shared way to save: write, confirm, close.
class SettingsForm : public Form {
protected:
    using Form::Form;

    // Writes `line` as the file's one line. Once it is written, `whenWritten` runs, the
    // confirmation is shown, and the window closes unless another event discarded it while the
    // box was up. A failed write has been told to the user already; the window then stays open
    // with what it holds, and the file as it was.
    template <class WhenWritten>
    void saveLine(std::string_view file, std::string_view line, std::string_view confirmation,
                  std::string_view confirmationTitle, WhenWritten whenWritten)
    {
        if (context_.ended())
            return;
        Platform& platform = context_.platform();
        if (!writeSettingLine(platform.files, platform.messages, *view_, file, line))
            return;
        whenWritten();
        if (showAndSurvive(confirmation, confirmationTitle))
            close();
    }
};

} // namespace latchsweep
