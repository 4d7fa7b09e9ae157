#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/base/layout.h"
#include "core/base/window.h"
#include "core/base/window_context.h"
#include "core/settings/settings_presenter.h"

namespace latchsweep {

// The auto-delete settings window as a front end draws it. Its events go to Form3: a click on
// Command1 to save(), the close box to onClose().
class Form3View : public WindowView {
public:
    // text1, the single-line delay box: what it holds now, typed or not, saved or not.
    [[nodiscard]] virtual std::string text1() const = 0;
    // Whether the user has changed text1 since it was last set.
    [[nodiscard]] virtual bool text1Edited() const = 0;
    // Sets text1; the box holds it unedited.
    virtual void setText1(const std::string& text) = 0;
};

// The auto-delete settings window; its delay box is the live store of the scan delay, which
// Application::refreshDelay reads once a second (creating the window hidden when it is absent).
class Form3 : public SettingsPresenter<Form3View> {
public:
    static constexpr const char* kInitialDelay = "10000";
    static constexpr std::string_view kSaved = "The Auto Delete's Settings Has Been Saved";
    static constexpr std::string_view kSavedTitle = "Success";

    using MakeView = latchsweep::MakeView<Form3View, Form3>;

    Form3(const WindowContext& context, const MakeView& makeView);

    // Loads AutoDelete.txt into text1; a file that cannot be read leaves "10000".
    void load();
    // text1 as typed; left as it was loaded, exactly what was loaded, whatever bytes the box
    // cannot show as they are.
    [[nodiscard]] std::string text1() const;

    // Events of the window.
    void save(); // Command1: stores text1 as typed, no validation

    // Each button and the handler a click on it runs.
    static std::span<const ButtonCommand<Form3>> buttons();
    void onClose(); // close box: discards the window and its unsaved text

private:
    void setText1(const std::string& text);

    std::string loaded_ = kInitialDelay;
};

// The auto-delete settings window's geometry and texts.
const WindowLayout& form3Layout();

} // namespace latchsweep
