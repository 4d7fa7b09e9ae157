#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "core/base/window.h"

namespace latchsweep::qt {

class FormWidget;

// The one window of the Qt front end: it draws whatever window a layout describes and sends the
// window's events to the presenter it was made for. The widget lives behind a guarded pointer:
// when the core discards the view (often from inside one of the widget's own handlers) the widget
// is cut off from its presenter, hidden at once and deleted once control is back in the event loop.
class FormWindow final : public WindowView {
public:
    FormWindow(const WindowLayout& windowLayout, FormEvents& events);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void show() override;
    [[nodiscard]] bool isShown() const override;
    void setText(ControlId id, const std::string& text) override;
    [[nodiscard]] std::string text(ControlId id) const override;
    void setRuns(ControlId box, const std::vector<RtfRun>& runs) override;
    void setEntries(ControlId list, const std::vector<DirectoryEntry>& entries, std::size_t current) override;
    [[nodiscard]] WindowHandle handle() const override;
    [[nodiscard]] IconHandle icon(IconId icon) const override;
    [[nodiscard]] IconHandle windowIcon() const override { return windowIcon_; }
    void setWindowIcon(IconHandle icon) override;
    void setMinimized(bool minimized) override;
    void setVisible(bool visible) override;
    [[nodiscard]] double twipsPerPixelX() const override;
    Command popup() override;

    // The native window; null once it is deleted.
    [[nodiscard]] QMainWindow* widget() const;

private:
    [[nodiscard]] QWidget* control(ControlId id) const;

    QPointer<FormWidget> widget_;
    IconHandle windowIcon_;
};

// Makes a FormWindow for every presenter.
class QtViewFactory : public ViewFactory {
public:
    std::unique_ptr<WindowView> make(const WindowLayout& windowLayout, FormEvents& events) override
    {
        return std::make_unique<FormWindow>(windowLayout, events);
    }
};

} // namespace latchsweep::qt
