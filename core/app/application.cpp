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

template <class Window, class... Extra>
WindowInstance<Window> Application::instance(WindowInstance<Window> Application::*slot, Extra&... extra)
{
    return WindowInstance<Window>([this, slot, &extra...] {
        return std::make_unique<Window>(WindowContext{platform_, views_, ended_, this->*slot}, extra...);
    });
}

Application::Application(Platform& platform, ViewFactory& views)
    : platform_(platform),
      views_(views),
      module1_(platform.tray),
      form1_(instance(&Application::form1_, *this)),
      form2_(instance(&Application::form2_)),
      form3_(instance(&Application::form3_)),
      form4_(instance(&Application::form4_)),
      help_(instance(&Application::help_)),
      about_(instance(&Application::about_))
{}

Application::~Application() = default;

void Application::start() { form1_.show(); }

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
        form1().view().setMinimized(true);
        // Without a notification area, or without our icon in it, nothing could bring a hidden
        // window back: it then stays minimised on the task bar.
        if (platform_.tray.available() && module1_.iconShown())
            form1().view().setVisible(false);
        break;
    case Command::ShowMainWindow:
        form1().restore();
        form4_.discard();
        break;
    }
}

void Application::refreshDelay()
{
    const Form3& settings = form3_.obtain();
    if (const auto delay = parseDelay(settings.text1()))
        form1().setScanDelay(*delay);
}

void Application::exitProgram()
{
    if (ended_)
        return;
    ended_ = true;
    if (form1_.exists())
        module1_.DeleteTrayIcon(static_cast<std::int32_t>(form1().IconObject()));
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
