#include "settings_views.h"

#include <QWidget>

#include "../app/qt_platform.h"

namespace latchsweep::qt {
namespace {

class Form2Window : public QWidget, public Form2View {
public:
    void show() override { QWidget::show(); }
    [[nodiscard]] bool isShown() const override { return isVisible(); }
};

class Form3Window : public QWidget, public Form3View {
public:
    void show() override { QWidget::show(); }
    [[nodiscard]] bool isShown() const override { return isVisible(); }
    [[nodiscard]] std::string text1() const override { return text_; }
    void setText1(const std::string& text) override { text_ = text; }

private:
    std::string text_ = Form3::kInitialDelay;
};

} // namespace

std::unique_ptr<Form2View> makeForm2View(Form2&) { return std::make_unique<Form2Window>(); }
std::unique_ptr<Form3View> makeForm3View(Form3&) { return std::make_unique<Form3Window>(); }

} // namespace latchsweep::qt
