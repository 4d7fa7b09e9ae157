#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/command_line.h"
#include "qt/app/qt_program.h"
#include "qt/app/x11_desktop.h"
#include "resources/version.h"

namespace {

// Qt's own command-line options (QGuiApplication, QApplication and the X11 platform): the
// program accepts them and leaves them to Qt.
constexpr latchsweep::ToolkitOption kQtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"geometry", true},      {"qwindowicon", true},
    {"icon", true},          {"qwindowtitle", true},
    {"title", true},         {"display", true},
    {"name", true},          {"session", true},
    {"style", true},         {"stylesheet", true},
    {"reverse", false},      {"widgetcount", false},
    {"nograb", false},       {"dograb", false},
    {"sync", false},
};

std::string valueOr(const latchsweep::CommandLine& line, std::string_view option, const char* variable)
{
    if (const auto given = line.toolkitValues.find(option); given != line.toolkitValues.end())
        return given->second;
    const char* value = std::getenv(variable);
    return value ? value : "";
}

// Qt's X11 platform aborts the process when it cannot reach its display. The program checks the
// display Qt will use first; any other platform (offscreen, Wayland) is left to Qt.
bool qtWillUseX11(const latchsweep::CommandLine& line)
{
    const std::string platform = valueOr(line, "platform", "QT_QPA_PLATFORM");
    if (!platform.empty())
        return platform.starts_with("xcb");
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return !(session && std::string_view(session) == "wayland" && std::getenv("WAYLAND_DISPLAY"));
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const latchsweep::CommandLine line =
        latchsweep::readCommandLine(arguments, kQtOptions, {LATCHSWEEP_PRODUCT_NAME, LATCHSWEEP_VERSION_TEXT});
    if (!line.run) {
        std::fputs(line.text.c_str(), line.toStandardOutput() ? stdout : stderr);
        return line.exitStatus;
    }
    if (qtWillUseX11(line)) {
        const std::string display = valueOr(line, "display", "DISPLAY");
        if (!latchsweep::qt::canOpenXDisplay(display)) {
            std::fputs(latchsweep::noDisplayMessage(display).c_str(), stderr);
            return latchsweep::kExitNoDisplay;
        }
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral(LATCHSWEEP_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(LATCHSWEEP_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("latchsweep"));
    // The program lives in the notification area: closing other windows never ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    latchsweep::qt::QtProgram program;
    program.start();
    return QApplication::exec();
}
