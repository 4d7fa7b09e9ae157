#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/about/help_text.h"
#include "core/base/layout.h"
#include "core/base/presenter.h"
#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

class frmHelpView : public WindowView {
public:
    // Replace the whole content of `helptxt`: plain UTF-8 text in the box's own font, or
    // formatted runs (a format's empty family or zero size meaning the box's own).
    virtual void setHelpText(const std::string& text) = 0;
    virtual void setHelpRuns(const std::vector<RtfRun>& runs) = 0;
};

// The help window: shows help.txt from the working directory, and nothing else.
class frmHelp : public WindowPresenter<frmHelpView> {
public:
    // The program's help file, opened by its bare name like the data files (sweep/data_files.h).
    static constexpr std::string_view kHelpFile = "help.txt";
    static constexpr std::string_view kInitialText = "Cannot Find Help File!";
    // Enough for any help text (some fifty pages); a larger file is shown as far as this
    // reaches, so that a huge file can neither exhaust memory nor hold the window up.
    static constexpr std::size_t kHelpFileLimit = 256 * 1024;

    using MakeView = latchsweep::MakeView<frmHelpView, frmHelp>;

    frmHelp(const WindowContext& context, const MakeView& makeView);

    // Loads help.txt into `helptxt`; a missing or unreadable file leaves the initial text.
    void load();

    // OKButton, CancelButton and the close box all close the window and discard the instance.
    // Each is the last thing its handler does: the presenter is gone afterwards.
    void onOK();
    void onCancel();

    // Each button and the handler a click on it runs.
    static std::span<const ButtonCommand<frmHelp>> buttons();
    void onCloseRequest();
};

// The help window's geometry, texts and fonts.
const WindowLayout& frmHelpLayout();

} // namespace latchsweep
