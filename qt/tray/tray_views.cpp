#include "tray_views.h"

#include <QWidget>

namespace latchsweep::qt {
namespace {

class Form4Window : public QWidget, public Form4View {
public:
    void show() override {}
    [[nodiscard]] bool isShown() const override { return false; }
    Command trackPopup() override { return Command::None; }
};

class NoTray : public TrayPort {
public:
    bool notify(std::uint32_t, const NotifyIconData&) override { return false; }
    [[nodiscard]] bool available() const override { return false; }
};

} // namespace

std::unique_ptr<Form4View> makeForm4View(Form4&) { return std::make_unique<Form4Window>(); }
std::unique_ptr<TrayPort> makeTrayPort() { return std::make_unique<NoTray>(); }
void connectTrayCallback(TrayPort&, Form1Window&) {}

} // namespace latchsweep::qt
