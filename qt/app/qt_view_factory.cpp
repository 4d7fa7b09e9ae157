#include "qt/app/qt_view_factory.h"

#include "qt/about/about_views.h"
#include "qt/settings/settings_views.h"
#include "qt/tray/tray_views.h"
#include "qt/app/form1_window.h"

namespace latchsweep::qt {

std::unique_ptr<Form1View> QtViewFactory::form1(Form1& presenter) { return std::make_unique<Form1Window>(presenter); }
std::unique_ptr<Form2View> QtViewFactory::form2(Form2& presenter) { return makeForm2View(presenter); }
std::unique_ptr<Form3View> QtViewFactory::form3(Form3& presenter) { return makeForm3View(presenter); }
std::unique_ptr<Form4View> QtViewFactory::form4(Form4& presenter) { return makeForm4View(presenter); }
std::unique_ptr<frmHelpView> QtViewFactory::help(frmHelp& presenter) { return makeHelpView(presenter); }
std::unique_ptr<frmAboutView> QtViewFactory::about(frmAbout& presenter) { return makeAboutView(presenter); }

} // namespace latchsweep::qt
