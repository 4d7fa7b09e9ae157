#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/command_line.h"
#include "platform/posix/unix_socket.h"
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

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string valueOr(const latchsweep::CommandLine& line, std::string_view option, const char* variable)
{
    if (const auto given = line.toolkitValues.find(option); given != line.toolkitValues.end())
        return given->second;
    return environment(variable);
}

// Qt aborts the process when no platform it tries can reach its display. The program tries the
// displays Qt will, in Qt's order, and starts when one of them answers; a platform without a
// display (offscreen) is left to Qt.
bool displayAnswers(const latchsweep::CommandLine& line)
{
    const std::string platform = valueOr(line, "platform", "QT_QPA_PLATFORM");
    const char* wayland = environment("WAYLAND_DISPLAY");
    for (const latchsweep::DisplayKind kind :
         latchsweep::displayOrder({platform, wayland, environment("XDG_SESSION_TYPE")})) {
        if (kind == latchsweep::DisplayKind::Other ||
            (kind == latchsweep::DisplayKind::Wayland && latchsweep::canConnectUnixSocket(latchsweep::waylandSocketPath(
                                                             wayland, environment("XDG_RUNTIME_DIR")))) ||
            (kind == latchsweep::DisplayKind::X11 &&
             latchsweep::qt::canOpenXDisplay(valueOr(line, "display", "DISPLAY"))))
            return true;
    }
    return false;
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
    if (!displayAnswers(line)) {
        std::fputs(latchsweep::noDisplayMessage(valueOr(line, "display", "DISPLAY")).c_str(), stderr);
        return latchsweep::kExitNoDisplay;
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
