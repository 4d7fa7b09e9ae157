#pragma once

#include <windows.h>
#include <richedit.h>

#include <memory>
#include <vector>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "win32/app/controls.h"
#include "win32/app/icons.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// The help window: fixed dialog frame at a fixed screen position, no task bar button (it is
// owned by a window never shown).
class HelpWindow : public NativeWindow, public frmHelpView {
public:
    static constexpr const char* kClassName = "LatchsweepHelp";

    HelpWindow(frmHelp& presenter, HWND owner);

    // WindowView
    void show() override { showAndRaise(); }
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }

    // frmHelpView
    void setHelpText(const std::string& text) override;
    void setHelpRuns(const std::vector<RtfRun>& runs) override;

    [[nodiscard]] const Controls& controls() const { return controls_; }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] CHARFORMAT2W formatFor(const RtfFormat& source) const;

    frmHelp& presenter_;
    double twipsPerPixel_;
    IconPair icon_;
    Controls controls_;
    CHARFORMAT2W boxFormat_{}; // the box's own font, for runs that name none
};

// The about box: fixed dialog frame at a fixed screen position, no task bar button; cmdOK is
// its default and its cancel button.
class AboutWindow : public NativeWindow, public frmAboutView {
public:
    static constexpr const char* kClassName = "LatchsweepAbout";

    AboutWindow(frmAbout& presenter, HWND owner);

    // WindowView
    void show() override { showAndRaise(); }
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }

    [[nodiscard]] const Controls& controls() const { return controls_; }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    [[nodiscard]] bool isBlackLabel(HWND control) const;
    void paintLines();

    frmAbout& presenter_;
    double twipsPerPixel_;
    IconPair icon_;
    IconPair picture_;
    Controls controls_;
};

std::unique_ptr<frmHelpView> makeHelpView(frmHelp& presenter, HWND owner);
std::unique_ptr<frmAboutView> makeAboutView(frmAbout& presenter, HWND owner);

} // namespace latchsweep::win32
