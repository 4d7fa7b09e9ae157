#pragma once

// Helpers for tests that drive the real Win32 front end: message pumping with bounded waits,
// scratch directories, message-box answers, and the program assembled on the real ports with
// only the ending of the process held back.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "app/win32_file_system.h"
#include "app/win32_platform.h"
#include "app/win32_view_factory.h"
#include "about/win32_system_ports.h"
#include "fake_platform.h"
#include "tray/notification_area.h"

namespace latchsweep::win32::testing {

using namespace std::chrono_literals;

// Runs the thread's messages (timers, posted callbacks, painting) for the given time.
void pumpFor(std::chrono::milliseconds duration);

// Runs the thread's messages until `done` holds or the time is up; whether it held.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Runs the messages queued now, without waiting.
void pumpPending();

// Lets the display's own events of windows just shown (activation, focus) arrive, so that they
// do not move the focus later, in the middle of a test.
void settle();

// A fresh directory under the system's temporary directory, with a space in its name so that
// every path built from it has one; removed with everything in it at the end.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The path of a name in the directory, as the ANSI functions take it.
    [[nodiscard]] std::string operator/(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Makes a directory the working directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);

struct AnsweredBox {
    std::string title;
    std::string text;
    int buttons = 0;
};

// Presses OK on every message box of this process as soon as it shows, from a thread of its
// own (the box runs a modal loop on the thread under test), and records what each one said.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    [[nodiscard]] std::vector<AnsweredBox> answered() const;

private:
    void watch();

    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<AnsweredBox> answered_;
    std::thread thread_;
};

// The top-level windows of this process that are on screen and have the given class, such as
// "#32770" for message boxes and "#32768" for open menus.
std::vector<HWND> visibleWindowsOfClass(const char* className);

// The program on the real ports and views, except that ending the process is recorded instead.
struct Win32TestProgram {
    Win32TimerFactory timers;
    Win32FileSystem files;
    Win32MessageBoxes messages;
    latchsweep::testing::FakeProcess process;
    Win32TrayPort tray;
    Win32Registry registry;
    Win32Launcher launcher;
    Platform platform{timers, files, messages, process, tray, registry, launcher};
    Win32ViewFactory views;
    std::unique_ptr<Application> app = std::make_unique<Application>(platform, views);

    Win32TestProgram();
    // Ends like the program would, removing the tray icon, unless a test ended it already.
    ~Win32TestProgram();
};

// A value under HKEY_LOCAL_MACHINE that a test sets or removes, restored to what it was (or
// removed again, with its key if the test made that) at the end.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(std::string key, std::string name);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    // False when the key cannot be made or written.
    bool set(DWORD type, const std::string& bytes);
    void remove();

private:
    std::string key_;
    std::string name_;
    bool keyExisted_ = false;
    bool hadValue_ = false;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> saved_;
};

// The screen's pixels for twips at its own resolution, as the windows are laid out.
int px(int twips);

// The position of a control in its window's client area.
RECT clientRectOf(HWND control);

// The path of a program built beside the running test, such as the launch probe.
std::string besideTest(const std::string& name);

} // namespace latchsweep::win32::testing
