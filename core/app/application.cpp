#include "core/app/application.h"

#include <string>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/sweep/delay.h"
#include "core/tray/form4.h"

namespace latchsweep {

Application::Application(Platform& platform, ViewFactory& views)
    : platform_(platform),
      views_(views),
      module1_(platform.tray),
      // Each presenter makes its view through the front end's factory, and sees of the program
      // only the context of its own instance.
      form2_([this] {
          return std::make_unique<Form2>(contextOf(form2_), [this](Form2& window) { return views_.form2(window); });
      }),
      form3_([this] {
          return std::make_unique<Form3>(contextOf(form3_), [this](Form3& window) { return views_.form3(window); });
      }),
      form4_([this] { return std::make_unique<Form4>([this](Form4& window) { return views_.form4(window); }); }),
      help_([this] {
          return std::make_unique<frmHelp>(contextOf(help_), [this](frmHelp& window) { return views_.help(window); });
      }),
      about_([this] {
          return std::make_unique<frmAbout>(contextOf(about_),
                                            [this](frmAbout& window) { return views_.about(window); });
      })
{}

Application::~Application() = default;

void Application::start()
{
    form1_ = std::make_unique<Form1>(*this, views_);
    form1_->load();
    form1_->view().show();
}

void Application::run(Command command)
{
    if (ended_)
        return;
    switch (command) {
    case Command::None:
        break;
    case Command::Exit:
        exitProgram();
        break;
    case Command::OpenGameDirectory:
        form2_.show();
        break;
    case Command::OpenAutoDelete:
        form3_.show();
        break;
    case Command::OpenHelp:
        help_.show();
        break;
    case Command::OpenAbout:
        about_.show();
        break;
    case Command::Minimize:
        form1_->view().setMinimized(true);
        // Without a notification area, or without our icon in it, nothing could bring a hidden
        // window back: it then stays minimised on the task bar.
        if (platform_.tray.available() && module1_.iconShown())
            form1_->view().setVisible(false);
        break;
    case Command::ShowMainWindow:
        form1_->restore();
        form4_.discard();
        break;
    }
}

void Application::refreshDelay()
{
    const Form3& settings = form3_.obtain();
    if (const auto delay = parseDelay(settings.text1()))
        form1_->setScanDelay(*delay);
}

void Application::exitProgram()
{
    if (ended_)
        return;
    ended_ = true;
    if (form1_)
        module1_.DeleteTrayIcon(static_cast<std::int32_t>(form1_->IconObject()));
    platform_.process.endNow();
}

void Application::fail(int number, std::string_view description)
{
    if (ended_)
        return;
    platform_.messages.show(nullptr, "Run-time error '" + std::to_string(number) + "':\n\n" + std::string(description),
                            kAppTitle);
    exitProgram();
}

} // namespace latchsweep
