#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <string>
#include <vector>

#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "qt/app/window_adapter.h"

class QLineEdit;
class QTextEdit;

namespace latchsweep::qt {

class DirectoryListWidget;

// The settings windows on Qt: fixed-size windows with a client area of the layout's size, built
// from the layout. Each sends its events to its presenter until it is detached from it.
template <class Presenter>
class SettingsWindow : public QWidget {
public:
    SettingsWindow(Presenter& presenter, const WindowLayout& windowLayout, const char* icon);

    // The presenter is gone: the window only waits for its deletion.
    void detach() { presenter_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;

    // Connects the buttons and keys (qt::connectButtons), once the window's own controls have
    // taken their places.
    void connectButtons(const WindowLayout& windowLayout);

    // Runs a presenter's handler unless the window was detached.
    template <class Handler>
    void deliver(Handler handler)
    {
        if (presenter_)
            handler(*presenter_);
    }

    Presenter* presenter_;
    QWidget* client_;
    double twipsPerPixel_;
    QHash<QString, QWidget*> controls_;
};

extern template class SettingsWindow<Form2>;
extern template class SettingsWindow<Form3>;

// Form2: the directory list MM2Dir, Save, and the stored path.
class Form2Window : public SettingsWindow<Form2> {
public:
    explicit Form2Window(Form2& presenter);

    void showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current);
    void setCurmm2dir(const std::string& text);

private:
    DirectoryListWidget* MM2Dir_;
    QTextEdit* curmm2dir_;
};

// Form3: the delay box text1 and Save.
class Form3Window : public SettingsWindow<Form3> {
public:
    explicit Form3Window(Form3& presenter);

    [[nodiscard]] std::string text1() const;
    [[nodiscard]] bool text1Edited() const;
    void setText1(const std::string& text);

private:
    QLineEdit* text1_;
};

// What the core holds of each settings window: when it discards one, the window hides at once
// and is deleted when control is back in the event loop, since the discard may come from one of
// the window's own handlers (its Save button, its close box).
class Form2Adapter : public WindowAdapter<Form2Window, Form2View> {
public:
    using WindowAdapter::WindowAdapter;
    void showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current) override
    {
        if (window_)
            window_->showDirectories(entries, current);
    }
    void setCurmm2dir(const std::string& text) override
    {
        if (window_)
            window_->setCurmm2dir(text);
    }
};

class Form3Adapter : public WindowAdapter<Form3Window, Form3View> {
public:
    using WindowAdapter::WindowAdapter;
    [[nodiscard]] std::string text1() const override { return window_ ? window_->text1() : std::string(); }
    [[nodiscard]] bool text1Edited() const override { return window_ && window_->text1Edited(); }
    void setText1(const std::string& text) override
    {
        if (window_)
            window_->setText1(text);
    }
};

} // namespace latchsweep::qt
