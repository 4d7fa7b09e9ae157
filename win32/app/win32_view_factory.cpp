#include "win32/app/win32_view_factory.h"

#include "win32/about/about_views.h"
#include "win32/app/form1_window.h"
#include "win32/settings/settings_views.h"
#include "win32/tray/tray_views.h"

namespace latchsweep::win32 {

HiddenOwner::HiddenOwner()
{
    WindowArgs args;
    args.className = "LatchsweepOwner";
    args.style = WS_OVERLAPPED;
    args.exStyle = WS_EX_TOOLWINDOW;
    create(args);
}

std::unique_ptr<Form1View> Win32ViewFactory::form1(Form1& presenter)
{
    return std::make_unique<Form1Window>(presenter);
}
std::unique_ptr<Form2View> Win32ViewFactory::form2(Form2& presenter) { return makeForm2View(presenter); }
std::unique_ptr<Form3View> Win32ViewFactory::form3(Form3& presenter) { return makeForm3View(presenter); }
std::unique_ptr<Form4View> Win32ViewFactory::form4(Form4& presenter) { return makeForm4View(presenter); }
std::unique_ptr<frmHelpView> Win32ViewFactory::help(frmHelp& presenter)
{
    return makeHelpView(presenter, owner_.hwnd());
}
std::unique_ptr<frmAboutView> Win32ViewFactory::about(frmAbout& presenter)
{
    return makeAboutView(presenter, owner_.hwnd());
}

} // namespace latchsweep::win32
