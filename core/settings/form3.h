#pragma once

#include <string>
#include <string_view>

#include "core/base/layout.h"
#include "core/base/window.h"
#include "core/base/window_context.h"
#include "core/settings/settings_presenter.h"

namespace latchsweep {

namespace form3 {
inline constexpr ControlId Frame1{"Frame1"};
inline constexpr ControlId Label2{"Label2"};
inline constexpr ControlId Command1{"Command1"};
inline constexpr ControlId text1{"text1"};
} // namespace form3

// The auto-delete settings window; its delay box is the live store of the scan delay, which
// Application::refreshDelay reads once a second (creating the window hidden when it is absent).
class Form3 : public SettingsForm {
public:
    static constexpr const char* kInitialDelay = "10000";
    static constexpr std::string_view kSaved = "The Auto Delete's Settings Has Been Saved";
    static constexpr std::string_view kSavedTitle = "Success";

    explicit Form3(const WindowContext& context);

    // Loads AutoDelete.txt into text1; a file that cannot be read leaves "10000".
    void load() override;
    // text1 as typed; left as it was loaded, exactly what was loaded, whatever bytes the box
    // cannot show as they are.
    [[nodiscard]] std::string text1() const;

    void onEdit(ControlId box) override;
    void onClick(ControlId button) override; // Command1: save()
    void save();                             // stores text1 as typed, no validation

private:
    std::string loaded_ = kInitialDelay;
    bool edited_ = false;
};

// The auto-delete settings window's description.
const WindowLayout& form3Layout();

} // namespace latchsweep
