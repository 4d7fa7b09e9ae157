#pragma once

#include "core/app/application.h"

namespace latchsweep::qt {

class QtViewFactory : public ViewFactory {
public:
    std::unique_ptr<Form1View> form1(Form1& presenter) override;
    std::unique_ptr<Form2View> form2(Form2& presenter) override;
    std::unique_ptr<Form3View> form3(Form3& presenter) override;
    std::unique_ptr<Form4View> form4(Form4& presenter) override;
    std::unique_ptr<frmHelpView> help(frmHelp& presenter) override;
    std::unique_ptr<frmAboutView> about(frmAbout& presenter) override;
};

} // namespace latchsweep::qt
