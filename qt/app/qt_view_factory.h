#pragma once

#include <QPointer>

#include "core/app/application.h"
#include "qt/about/about_views.h"
#include "qt/app/form1_window.h"
#include "qt/app/window_adapter.h"
#include "qt/settings/settings_views.h"
#include "qt/tray/form4_window.h"

namespace latchsweep::qt {

// Makes the Qt window behind each presenter and keeps track of what it made: the window of each
// kind made last (null once it is deleted; a window the core has let go is hidden and deleted
// once control is back in the event loop), and the widget behind every view still held.
class QtViewFactory : public ViewFactory {
public:
    std::unique_ptr<Form1View> form1(Form1& presenter) override;
    std::unique_ptr<Form2View> form2(Form2& presenter) override;
    std::unique_ptr<Form3View> form3(Form3& presenter) override;
    std::unique_ptr<Form4View> form4(Form4& presenter) override;
    std::unique_ptr<frmHelpView> help(frmHelp& presenter) override;
    std::unique_ptr<frmAboutView> about(frmAbout& presenter) override;

    [[nodiscard]] Form1Window* form1Window() const { return form1_; }
    [[nodiscard]] Form2Window* form2Window() const { return form2_; }
    [[nodiscard]] Form3Window* form3Window() const { return form3_; }
    [[nodiscard]] Form4Window* form4Window() const { return form4_; }
    [[nodiscard]] HelpWindow* helpWindow() const { return help_; }
    [[nodiscard]] AboutWindow* aboutWindow() const { return about_; }

    [[nodiscard]] const ViewWidgets& widgets() const { return widgets_; }

private:
    template <class Adapter, class Window>
    std::unique_ptr<Adapter> adapt(QPointer<Window>& made, Window* window);

    ViewWidgets widgets_;
    QPointer<Form1Window> form1_;
    QPointer<Form2Window> form2_;
    QPointer<Form3Window> form3_;
    QPointer<Form4Window> form4_;
    QPointer<HelpWindow> help_;
    QPointer<AboutWindow> about_;
};

} // namespace latchsweep::qt
