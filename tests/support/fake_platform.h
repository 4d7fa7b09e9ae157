#pragma once

// Test doubles for every port of the core, with a virtual clock for the timers.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/base/ports.h"
#include "core/base/tray_icons.h"
#include "tests/support/virtual_clock.h"

namespace latchsweep::testing {

// An in-memory file system: files by path, directories as a set of paths.
class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> directories;
    std::string cwd = "/work";
    char sep = '/';
    std::string failWritesWith;              // non-empty: every write fails with this reason
    std::set<std::string> deniedDirectories; // writes there are refused for lack of access
    std::vector<std::string> driveRoots;     // none: one tree
    std::vector<std::string> removed;
    std::vector<std::string> removeAttempts;
    VirtualStore store;                  // nothing virtualized unless a test says so
    TextDecoding decoding = kTextAsItIs; // as on POSIX; windows1252System() for Windows' rule

    std::optional<std::string> readHead(const std::string& path, std::size_t maxBytes) override;
    WriteStatus replaceFile(const std::string& path, std::string_view bytes) override;
    bool createDirectories(const std::string& path) override;
    std::vector<std::string> drives() override { return driveRoots; }
    bool removeFile(const std::string& path) override;
    bool isNormalFile(const std::string& path) override { return files.contains(path); }
    std::string currentDirectory() override { return cwd; }
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    [[nodiscard]] char separator() const override { return sep; }
    [[nodiscard]] const VirtualStore& virtualStore() const override { return store; }
    [[nodiscard]] TextDecoding textDecoding() const override { return decoding; }
};

// A system whose ANSI code page is Windows-1252, converting both ways as Windows does: bytes to
// UTF-8, and UTF-8 to bytes only when every character has a byte of its own. It knows no other
// code page.
TextDecoding windows1252System();

struct ShownMessage {
    std::string text;
    std::string title;
    const WindowView* owner = nullptr;
};

class FakeMessageBoxes : public MessageBoxes {
public:
    std::vector<ShownMessage> shown;
    std::function<void()> whileShown; // runs inside the box, as events would during its loop
    void show(const WindowView* owner, std::string_view text, std::string_view title) override
    {
        shown.push_back({std::string(text), std::string(title), owner});
        if (whileShown)
            whileShown();
    }
};

class FakeProcess : public ProcessControl {
public:
    int endCount = 0;
    void endNow() override { ++endCount; }
};

struct TrayCall {
    std::uint32_t message;
    NotifyIconData record;
};

// The notification area by its rules, each icon the record it was last given.
class FakeTray : public TrayPort, public TrayIcons<NotifyIconData> {
public:
    std::vector<TrayCall> calls;
    bool isAvailable = true;

    bool notify(std::uint32_t message, const NotifyIconData& record) override;
    [[nodiscard]] bool available() const override { return isAvailable; }
};

// A registry with no keys at all, as on a system without one.
class FakeRegistry : public Registry {
public:
    std::int32_t open(RegistryKey, const std::string&, std::uint32_t, std::uint32_t, RegistryKey&) override
    {
        return 2;
    }
    std::int32_t query(RegistryKey, const std::string&, std::uint32_t&, std::vector<std::uint8_t>&,
                       std::uint32_t&) override
    {
        return 2;
    }
    void close(RegistryKey) override {}
};

class FakeLauncher : public Launcher {
public:
    std::vector<std::string> launched;
    bool succeed = true;
    bool launch(const std::string& path) override
    {
        launched.push_back(path);
        return succeed;
    }
};

struct FakePlatform {
    VirtualClock clock;
    FakeFileSystem files;
    FakeMessageBoxes messages;
    FakeProcess process;
    FakeTray tray;
    FakeRegistry registry;
    FakeLauncher launcher;
    Platform ports{clock, files, messages, process, tray, registry, &launcher};
};

} // namespace latchsweep::testing
