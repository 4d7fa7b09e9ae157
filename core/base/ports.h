#pragma once

// The narrow seams between the core and the platform it runs on. Each front end implements
// them once; core tests implement them with fakes and a virtual clock.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/system_ports.h"
#include "core/base/text_decoding.h"
#include "core/base/timer.h"
#include "core/base/tray_port.h"

namespace latchsweep {

class WindowView;

// Where Windows' file virtualization keeps what a legacy program wrote under a protected folder:
// a program without an execution level in its manifest that may not write under Program Files,
// the Windows folder or ProgramData has its files put below `root`, at the path without its
// drive, and sees them at the original path. Nothing is virtualized where `folders` is empty.
struct VirtualStore {
    std::vector<std::string> folders; // absolute, e.g. C:\Program Files (x86)
    std::string root;                 // the user's store, e.g. C:\Users\me\AppData\Local\VirtualStore
};

// Outcome of a write: ok, or the system's own reason for the failure, and whether the system
// refused it for lack of access (what Windows' file virtualization steps in for).
struct WriteStatus {
    bool ok = true;
    std::string reason;
    bool accessDenied = false;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // At most `maxBytes` from the start of a file, opened and closed within the call. Nothing
    // when the file is missing or unreadable, or is no file to read from its start (a directory,
    // a pipe, a socket, a terminal).
    virtual std::optional<std::string> readHead(const std::string& path, std::size_t maxBytes) = 0;

    // Replaces the whole file by writing a temporary file beside it and renaming it over the
    // old one, so that a failure never leaves a truncated file behind. A file that could not be
    // opened for output (read-only) is refused; a link is written through to its target, and
    // the file keeps its attributes (mode, owner) as far as the platform lets them be kept.
    virtual WriteStatus replaceFile(const std::string& path, std::string_view bytes) = 0;

    // Makes the directory and every missing one above it; true when it is there afterwards.
    virtual bool createDirectories(const std::string& path) = 0;

    // Deletes exactly one name that is not a directory: a file, or a symbolic link itself (never
    // what it points to); never a pattern. False when nothing was deleted.
    virtual bool removeFile(const std::string& path) = 0;

    // True for an existing normal file (not a directory, not hidden or system where the
    // platform has such attributes).
    virtual bool isNormalFile(const std::string& path) = 0;

    virtual std::string currentDirectory() = 0;

    // Names of the subdirectories of `dir`, in no particular order; nothing when the
    // directory cannot be read.
    virtual std::optional<std::vector<std::string>> subdirectories(const std::string& dir) = 0;

    // The roots of the computer's drives that hold files, in letter order ("C:\\", "D:\\"), a drive
    // without a medium among them; none where the file system is one tree.
    [[nodiscard]] virtual std::vector<std::string> drives() { return {}; }

    // The character that joins a directory and a file name: '\\' on Windows, '/' elsewhere.
    [[nodiscard]] virtual char separator() const = 0;

    // The virtualized folders and the current user's store, as the system reports them; none
    // where the platform does not virtualize.
    [[nodiscard]] virtual const VirtualStore& virtualStore() const
    {
        static const VirtualStore none;
        return none;
    }

    // How text files in a single-byte code page are read here.
    [[nodiscard]] virtual TextDecoding textDecoding() const { return {}; }
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal box with the text, the title and a single OK button; returns once dismissed. The
    // box belongs to the window it answers (`owner`, placed over it), or to none.
    virtual void show(const WindowView* owner, std::string_view text, std::string_view title) = 0;
};

class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    // Ends the program at once: no further handler of any window runs and nothing is saved.
    // Test doubles return; the core then ignores every later event.
    virtual void endNow() = 0;
};

// Whether the system's calls take `path` as it stands: not empty, and no NUL byte inside, which
// would cut it short, so that what the core checked or composed would not be what is reached.
inline bool isWholePath(std::string_view path) { return !path.empty() && path.find('\0') == std::string_view::npos; }

struct Platform {
    TimerFactory& timers;
    FileSystem& files;
    MessageBoxes& messages;
    ProcessControl& process;
    TrayPort& tray;
    Registry& registry;
    // None where the system has no System Information tool to start: there the registry that
    // is not there ends the lookup first.
    Launcher* launcher;
};

} // namespace latchsweep
