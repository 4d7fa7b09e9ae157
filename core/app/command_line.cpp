#include "core/app/command_line.h"

#include <algorithm>

namespace latchsweep {
namespace {

constexpr std::string_view kHelp =
    "Usage: latchsweep [OPTION]...\n"
    "Keeps the Midtown Madness 2 lock file MM2.LOCK deleted while switched on,\n"
    "from an icon in the notification area.\n"
    "\n"
    "      --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "The toolkit's own options (-platform, -display, -style ...) are passed on to it.\n"
    "The settings are Directory.txt and AutoDelete.txt in the current directory.\n"
    "\n"
    "Exit status: 0 if OK, 1 if no display can be opened, 2 for a wrong command line.\n";

constexpr std::string_view kTryHelp = "Try 'latchsweep --help' for more information.\n";

CommandLine fault(std::string message)
{
    CommandLine result;
    result.run = false;
    result.exitStatus = kExitUsage;
    result.text = "latchsweep: " + std::move(message) + "\n" + std::string(kTryHelp);
    return result;
}

CommandLine print(std::string text)
{
    CommandLine result;
    result.run = false;
    result.text = std::move(text);
    return result;
}

} // namespace

CommandLine readCommandLine(std::span<const std::string_view> arguments, std::span<const ToolkitOption> toolkit,
                            const Product& product)
{
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-')
            return fault("unexpected argument '" + std::string(argument) + "'");
        std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        if (name == "help")
            return print(std::string(kHelp));
        if (name == "version")
            return print(std::string(product.name) + " " + std::string(product.version) + "\n");
        const auto option =
            std::find_if(toolkit.begin(), toolkit.end(), [name](const ToolkitOption& o) { return o.name == name; });
        if (option == toolkit.end() || name.empty())
            return fault("unrecognized option '" + std::string(argument) + "'");
        if (!option->takesValue)
            continue;
        if (i + 1 == arguments.size())
            return fault("option '" + std::string(argument) + "' requires an argument");
        result.toolkitValues.insert_or_assign(std::string(name), std::string(arguments[++i]));
    }
    return result;
}

std::string noDisplayMessage(std::string_view display)
{
    if (display.empty())
        return "latchsweep: no display to open: DISPLAY is not set\n";
    return "latchsweep: cannot open display '" + std::string(display) + "'\n";
}

std::vector<DisplayKind> displayOrder(const DisplaySettings& settings)
{
    std::vector<DisplayKind> order;
    if (settings.platform.empty()) {
        if (!settings.waylandDisplay.empty() || settings.sessionType == "wayland")
            order.push_back(DisplayKind::Wayland);
        order.push_back(DisplayKind::X11);
        return order;
    }
    for (std::string_view rest = settings.platform; !rest.empty();) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        const std::string_view name = entry.substr(0, entry.find(':'));
        order.push_back(name.starts_with("wayland") ? DisplayKind::Wayland
                        : name == "xcb"             ? DisplayKind::X11
                                                    : DisplayKind::Other);
    }
    return order;
}

std::string waylandSocketPath(std::string_view waylandDisplay, std::string_view runtimeDirectory)
{
    const std::string_view name = waylandDisplay.empty() ? std::string_view("wayland-0") : waylandDisplay;
    if (name.starts_with('/'))
        return std::string(name);
    if (runtimeDirectory.empty())
        return {};
    return std::string(runtimeDirectory) + "/" + std::string(name);
}

} // namespace latchsweep
