#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/base/layout.h"
#include "core/base/presenter.h"
#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

// Everything in the box is fixed; the view only shows it and forwards its events.
class frmAboutView : public WindowView {};

// The about box.
class frmAbout : public WindowPresenter<frmAboutView> {
public:
    using MakeView = latchsweep::MakeView<frmAboutView, frmAbout>;

    frmAbout(const WindowContext& context, const MakeView& makeView);

    void load();

    // cmdOK by click, Enter or Esc, and the close box: close the box and discard the instance,
    // as the handler's last step.
    void onOK();
    void onCloseRequest();
    // cmdSysInfo by click or Alt+S.
    void onSysInfo();

    // Each button and the handler a click on it runs.
    static std::span<const ButtonCommand<frmAbout>> buttons();
};

// One line of the etched separators `Line1`, in twips, drawn in the order listed so that each
// grey line lies over its white one.
struct EtchedLine {
    int index;
    int x1;
    int x2;
    int y;
    int widthPixels;
    std::uint32_t rgb; // 0xRRGGBB
};

// The about box's geometry, texts and fonts (`Line1` apart).
const WindowLayout& frmAboutLayout();
std::span<const EtchedLine> frmAboutLines();
// Labels written in black rather than the system's text colour.
std::span<const std::string_view> frmAboutBlackLabels();

} // namespace latchsweep
