// Prints the core's menu bar and window captions as JSON, so that the end-to-end tests check the
// program against the core's data instead of typing its captions again.

#include <iostream>
#include <span>
#include <string_view>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"

namespace {

using namespace latchsweep;

std::string_view commandName(Command command)
{
    switch (command) {
    case Command::None:
        return "None";
    case Command::Exit:
        return "Exit";
    case Command::OpenGameDirectory:
        return "OpenGameDirectory";
    case Command::OpenAutoDelete:
        return "OpenAutoDelete";
    case Command::OpenHelp:
        return "OpenHelp";
    case Command::OpenAbout:
        return "OpenAbout";
    case Command::Minimize:
        return "Minimize";
    case Command::ShowMainWindow:
        return "ShowMainWindow";
    }
    return "?";
}

// Captions hold no quote nor backslash: plain strings are JSON strings.
void print(std::span<const MenuItem> items)
{
    std::cout << '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::cout << (i ? ", " : "") << "{\"name\": \"" << items[i].name << "\", \"caption\": \"" << items[i].caption
                  << "\", \"command\": \"" << commandName(items[i].command) << "\", \"children\": ";
        print(items[i].children);
        std::cout << '}';
    }
    std::cout << ']';
}

} // namespace

int main()
{
    std::cout << "{\"bar\": ";
    print(mainMenuBar());
    std::cout << ", \"windows\": {";
    const char* separator = "";
    for (const WindowLayout* window :
         {&form1Layout(), &form2Layout(), &form3Layout(), &frmHelpLayout(), &frmAboutLayout()}) {
        std::cout << separator << '"' << window->name << "\": \"" << window->caption << '"';
        separator = ", ";
    }
    std::cout << "}}\n";
}
