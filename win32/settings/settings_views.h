#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "win32/app/controls.h"
#include "win32/app/icons.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// The game directory window: fixed single border, a close box, its own task bar button, placed
// where the window system places new windows.
class Form2Window : public NativeWindow, public Form2View {
public:
    static constexpr const char* kClassName = "LatchsweepForm2";

    explicit Form2Window(Form2& presenter);

    // WindowView
    void show() override { showAndRaise(); }
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }

    // Form2View
    void showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current) override;
    void setCurmm2dir(const std::string& text) override;

    [[nodiscard]] const Controls& controls() const { return controls_; }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onCommand(WPARAM wParam);
    void drawEntry(const DRAWITEMSTRUCT& item);

    Form2& presenter_;
    double twipsPerPixel_;
    IconPair icon_;
    Controls controls_;
    std::vector<DirectoryEntry> entries_;
};

// The auto-delete settings window; often alive and hidden, its delay box read once a second.
class Form3Window : public NativeWindow, public Form3View {
public:
    static constexpr const char* kClassName = "LatchsweepForm3";

    explicit Form3Window(Form3& presenter);

    // WindowView
    void show() override { showAndRaise(); }
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }

    // Form3View
    [[nodiscard]] std::string text1() const override;
    [[nodiscard]] bool text1Edited() const override;
    void setText1(const std::string& text) override;

    [[nodiscard]] const Controls& controls() const { return controls_; }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Form3& presenter_;
    double twipsPerPixel_;
    IconPair icon_;
    Controls controls_;
};

std::unique_ptr<Form2View> makeForm2View(Form2& presenter);
std::unique_ptr<Form3View> makeForm3View(Form3& presenter);

} // namespace latchsweep::win32
