#include "qt/app/qt_view_factory.h"

namespace latchsweep::qt {

template <class Adapter, class Window>
std::unique_ptr<Adapter> QtViewFactory::adapt(QPointer<Window>& made, Window* window)
{
    made = window;
    return std::make_unique<Adapter>(window, widgets_);
}

std::unique_ptr<Form1View> QtViewFactory::form1(Form1& presenter)
{
    return adapt<Form1Adapter>(form1_, new Form1Window(presenter));
}

std::unique_ptr<Form2View> QtViewFactory::form2(Form2& presenter)
{
    return adapt<Form2Adapter>(form2_, new Form2Window(presenter));
}

std::unique_ptr<Form3View> QtViewFactory::form3(Form3& presenter)
{
    return adapt<Form3Adapter>(form3_, new Form3Window(presenter));
}

std::unique_ptr<Form4View> QtViewFactory::form4(Form4&) { return adapt<Form4Adapter>(form4_, new Form4Window()); }

std::unique_ptr<frmHelpView> QtViewFactory::help(frmHelp& presenter)
{
    return adapt<HelpAdapter>(help_, new HelpWindow(presenter));
}

std::unique_ptr<frmAboutView> QtViewFactory::about(frmAbout& presenter)
{
    return adapt<AboutAdapter>(about_, new AboutWindow(presenter));
}

} // namespace latchsweep::qt
