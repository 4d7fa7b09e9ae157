#pragma once

#include "core/app/application.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// A top-level window that is never shown: it owns the windows that have no task bar button
// (an owned window never gets one), while they stay free of every window the user sees.
class HiddenOwner : public NativeWindow {
public:
    HiddenOwner();
};

class Win32ViewFactory : public ViewFactory {
public:
    std::unique_ptr<Form1View> form1(Form1& presenter) override;
    std::unique_ptr<Form2View> form2(Form2& presenter) override;
    std::unique_ptr<Form3View> form3(Form3& presenter) override;
    std::unique_ptr<Form4View> form4(Form4& presenter) override;
    std::unique_ptr<frmHelpView> help(frmHelp& presenter) override;
    std::unique_ptr<frmAboutView> about(frmAbout& presenter) override;

private:
    HiddenOwner owner_;
};

} // namespace latchsweep::win32
