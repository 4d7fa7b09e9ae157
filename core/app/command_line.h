#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace latchsweep {

// Exit statuses of a run that ends before the program starts.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNoDisplay = 1;
inline constexpr int kExitUsage = 2;

// An option of the window toolkit (Qt's -platform, -display, ...). The program passes these on
// untouched; it only has to know which of them take the next argument as their value.
struct ToolkitOption {
    std::string_view name; // without dashes
    bool takesValue;
};

// What the command line asks for: start the program, or print `text` and end with `exitStatus`.
struct CommandLine {
    bool run = true;
    int exitStatus = kExitOk;
    std::string text; // ends with a newline; standard output when the status is 0, else errors
    // The toolkit options that carry a value, by name (the last one given wins, as in Qt).
    std::map<std::string, std::string, std::less<>> toolkitValues;

    [[nodiscard]] bool toStandardOutput() const { return exitStatus == kExitOk; }
};

// The program's name and version as its version record gives them ("Latchsweep", "1.00").
struct Product {
    std::string_view name;
    std::string_view version;
};

// Reads the arguments after the program's name, in order: the first of --help, --version or a
// fault decides. Options may be written with one dash or two, as Qt accepts its own.
CommandLine readCommandLine(std::span<const std::string_view> arguments, std::span<const ToolkitOption> toolkit,
                            const Product& product);

// The one line for a display that cannot be opened; an empty name means none was given.
std::string noDisplayMessage(std::string_view display);

// The kinds of display the window toolkit opens on Linux; Other stands for every platform that
// needs none (offscreen, a frame buffer).
enum class DisplayKind { Wayland, X11, Other };

// What decides which display the toolkit opens.
struct DisplaySettings {
    std::string_view platform;       // the -platform option, else QT_QPA_PLATFORM; empty for neither
    std::string_view waylandDisplay; // WAYLAND_DISPLAY
    std::string_view sessionType;    // XDG_SESSION_TYPE
};

// The displays the toolkit tries, in its order, until one opens: the platforms named (a list
// separated by ';', each name maybe followed by ':' and its options); else Wayland in a session
// that names a Wayland display or calls itself one, then X, the toolkit's own default.
std::vector<DisplayKind> displayOrder(const DisplaySettings& settings);

// The socket a Wayland client connects to: WAYLAND_DISPLAY ("wayland-0" when empty) as a path of
// its own, or a name in XDG_RUNTIME_DIR; empty when there is no runtime directory to look in.
std::string waylandSocketPath(std::string_view waylandDisplay, std::string_view runtimeDirectory);

} // namespace latchsweep
