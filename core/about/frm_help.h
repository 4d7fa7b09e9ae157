#pragma once

#include <cstddef>
#include <string_view>

#include "core/about/help_text.h"
#include "core/base/layout.h"
#include "core/base/presenter.h"
#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

namespace frm_help {
inline constexpr ControlId OKButton{"OKButton"};
inline constexpr ControlId CancelButton{"CancelButton"};
inline constexpr ControlId Label1{"Label1"};
inline constexpr ControlId helptxt{"helptxt"};
} // namespace frm_help

// The help window: shows help.txt from the working directory, and nothing else.
class frmHelp : public Form {
public:
    // The program's help file, opened by its bare name like the data files (sweep/data_files.h).
    static constexpr std::string_view kHelpFile = "help.txt";
    static constexpr std::string_view kInitialText = "Cannot Find Help File!";
    // Enough for any help text (some fifty pages); a larger file is shown as far as this
    // reaches, so that a huge file can neither exhaust memory nor hold the window up.
    static constexpr std::size_t kHelpFileLimit = 256 * 1024;

    explicit frmHelp(const WindowContext& context);

    // Loads help.txt into `helptxt`; a missing or unreadable file leaves the initial text.
    void load() override;

    // OKButton and CancelButton close the window and discard the instance, as the close box
    // does: the last thing the handler does.
    void onClick(ControlId button) override;
};

// The help window's description.
const WindowLayout& frmHelpLayout();

} // namespace latchsweep
