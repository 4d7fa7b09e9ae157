#include "about_views.h"

#include <QWidget>

namespace latchsweep::qt {
namespace {

class HelpWindow : public QWidget, public frmHelpView {
public:
    void show() override { QWidget::show(); }
    [[nodiscard]] bool isShown() const override { return isVisible(); }
};

class AboutWindow : public QWidget, public frmAboutView {
public:
    void show() override { QWidget::show(); }
    [[nodiscard]] bool isShown() const override { return isVisible(); }
};

class NoRegistry : public Registry {
public:
    std::int32_t open(RegistryKey, const std::string&, std::uint32_t, std::uint32_t, RegistryKey&) override { return 2; }
    std::int32_t query(RegistryKey, const std::string&, std::uint32_t&, std::vector<std::uint8_t>&, std::uint32_t&) override
    {
        return 2;
    }
    void close(RegistryKey) override {}
};

class NoLauncher : public Launcher {
public:
    bool launch(const std::string&) override { return false; }
};

} // namespace

std::unique_ptr<frmHelpView> makeHelpView(frmHelp&) { return std::make_unique<HelpWindow>(); }
std::unique_ptr<frmAboutView> makeAboutView(frmAbout&) { return std::make_unique<AboutWindow>(); }
std::unique_ptr<Registry> makeRegistry() { return std::make_unique<NoRegistry>(); }
std::unique_ptr<Launcher> makeLauncher() { return std::make_unique<NoLauncher>(); }

} // namespace latchsweep::qt
