#pragma once

// Helpers for the tests that drive the real Win32 front end: bounded message pumping, scratch
// directories, message-box answers, and the program on the real ports with only the ending of
// the process held back.

#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/app/application.h"
#include "core/base/menu.h"
#include "tests/support/fake_platform.h"
#include "win32/about/win32_system_ports.h"
#include "win32/app/controls.h"
#include "win32/app/handles.h"
#include "win32/app/native_form.h"
#include "win32/app/win32_file_system.h"
#include "win32/app/win32_platform.h"
#include "win32/tray/notification_area.h"

namespace latchsweep::win32::testing {

using namespace std::chrono_literals;

// Runs the thread's messages (timers, posted callbacks, painting) until `done` holds or the time
// is up; whether it held.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
inline void pumpFor(std::chrono::milliseconds duration)
{
    pumpUntil([] { return false; }, duration);
}
void pumpPending(); // the messages queued now, without waiting

// A fresh directory with a space in its name, so that every path built from it has one; removed
// with everything in it, read-only files too, at the end.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Makes a directory the working directory for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory) { std::filesystem::current_path(directory); }
    ~WorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
};

// Paths in UTF-8, as the core holds them.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path); // empty when missing
inline bool exists(const std::string& path)
{
    return GetFileAttributesW(fromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The top-level windows of this process on screen with the given class, such as "#32770" for
// message boxes and "#32768" for open menus.
std::vector<HWND> visibleWindowsOfClass(const char* className);

struct AnsweredBox {
    std::string title;
    std::string text;
    int buttons = 0;
    HWND owner = nullptr;
    int othersTakingInput = 0; // visible windows of the box's thread, the box apart, not disabled
};

// Presses OK on every message box of this process as soon as it shows, from a thread of its own
// (the box runs a modal loop on the thread under test), and records what each one said.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    [[nodiscard]] std::vector<AnsweredBox> answered() const
    {
        const std::lock_guard lock(mutex_);
        return answered_;
    }

private:
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<AnsweredBox> answered_;
    std::thread thread_;
};

// The program on the real ports and views, except that ending the process is recorded instead.
struct Win32TestProgram {
    Win32TestProgram();
    ~Win32TestProgram() { app->exitProgram(); } // removes the tray icon unless a test ended already

    Win32TimerFactory timers;
    Win32FileSystem files;
    Win32MessageBoxes messages;
    latchsweep::testing::FakeProcess process;
    Win32TrayPort tray;
    Win32Registry registry;
    Win32Launcher launcher;
    Platform platform{timers, files, messages, process, tray, registry, &launcher};
    Win32ViewFactory views;
    std::unique_ptr<Application> app = std::make_unique<Application>(platform, views);
};

// The program started in a scratch working directory, the pointer away from its windows so that
// it sends no real mouse-moves of its own.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCursorPos(0, 0);
        program.app->start();
        pumpFor(settleTime); // the display's own activation and focus events arrive now, not mid-test
    }
    Application& app() { return *program.app; }

    std::chrono::milliseconds settleTime = 300ms;

    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    Win32TestProgram program;
};

// A value under HKEY_LOCAL_MACHINE that a test sets or removes, restored to what it was (or
// removed again, with its key if the test made that) at the end.
class ScopedRegistryValue {
public:
    ScopedRegistryValue(std::string key, std::string name);
    ~ScopedRegistryValue();
    bool set(DWORD type, const std::string& bytes)
    {
        return RegSetKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), type, bytes.data(),
                               static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }
    void remove() { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str()); }

private:
    std::string key_;
    std::string name_;
    bool keyExisted_ = false;
    bool hadValue_ = false;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> saved_;
};

// The screen's pixels for twips, as the windows are laid out.
inline int px(int twips) { return twipsToPixels(twips, screenTwipsPerPixel()); }

// The window and its controls as the layout defines them: on screen with its caption, a fixed
// frame with a close box, a client area of the layout's size; every control found by its name,
// at its twips rectangle converted to the screen's pixels (a frame's children moved by the
// frame's converted position), with the layout's text.
void expectWindowAsLaidOut(HWND window, const Controls& controls, const WindowLayout& windowLayout);

// The native menu holds the core's tree, item for item: captions, submenus, order, all enabled.
void expectMenuMatches(HMENU menu, std::span<const MenuItem> items, const std::string& where);

// The path of a program built beside the running test, such as the launch probe.
std::string besideTest(const std::string& name);

} // namespace latchsweep::win32::testing
