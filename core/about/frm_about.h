#pragma once

#include "core/base/layout.h"
#include "core/base/presenter.h"
#include "core/base/window.h"
#include "core/base/window_context.h"

namespace latchsweep {

namespace frm_about {
inline constexpr ControlId picIcon{"picIcon"};
inline constexpr ControlId lblTitle{"lblTitle"};
inline constexpr ControlId lblVersion{"lblVersion"};
inline constexpr ControlId lblDescription{"lblDescription"};
inline constexpr ControlId lblDisclaimer{"lblDisclaimer"};
inline constexpr ControlId Label1{"Label1"};
inline constexpr ControlId cmdOK{"cmdOK"};
inline constexpr ControlId cmdSysInfo{"cmdSysInfo"};
} // namespace frm_about

// The about box. Everything in it is fixed.
class frmAbout : public Form {
public:
    explicit frmAbout(const WindowContext& context);

    // cmdOK by click, Enter or Esc closes the box and discards the instance, as the handler's
    // last step, as the close box does; cmdSysInfo by click or Alt+S starts System Information.
    void onClick(ControlId button) override;
    void onSysInfo();
};

// The about box's description, its etched separators `Line1` among it.
const WindowLayout& frmAboutLayout();

} // namespace latchsweep
