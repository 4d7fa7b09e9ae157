#pragma once

#include <QDialog>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "qt/app/window_adapter.h"

class QTextEdit;

namespace latchsweep::qt {

// The help window: helptxt shows help.txt; OK, Cancel and the close box close it. It sends its
// events to its presenter until it is detached from it.
class HelpWindow : public QWidget {
public:
    explicit HelpWindow(frmHelp& presenter);

    void detach() { presenter_ = nullptr; }
    void setText(const std::string& text);
    void setRuns(const std::vector<RtfRun>& runs);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void deliver(void (frmHelp::*handler)());
    void press(std::string_view button);

    frmHelp* presenter_;
    QTextEdit* helptxt_;
};

// The about box, a dialog with a default and a cancel button (frmAboutLayout().keys).
class AboutWindow : public QDialog {
public:
    explicit AboutWindow(frmAbout& presenter);
    ~AboutWindow() override;

    void detach() { presenter_ = nullptr; }

    // Esc.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void deliver(void (frmAbout::*handler)());
    void press(std::string_view button);

    frmAbout* presenter_;
};

// What the core holds of the help window and the about box: when it discards one, the window
// hides at once and is deleted once control is back in the event loop, since the discard comes
// from one of the window's own handlers.
class HelpAdapter : public WindowAdapter<HelpWindow, frmHelpView> {
public:
    using WindowAdapter::WindowAdapter;
    void setHelpText(const std::string& text) override
    {
        if (window_)
            window_->setText(text);
    }
    void setHelpRuns(const std::vector<RtfRun>& runs) override
    {
        if (window_)
            window_->setRuns(runs);
    }
};

using AboutAdapter = WindowAdapter<AboutWindow, frmAboutView>;

} // namespace latchsweep::qt
