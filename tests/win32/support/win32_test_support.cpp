#include "win32_test_support.h"

#include <fstream>
#include <utility>
#include <sstream>

#include "app/controls.h"
#include "app/handles.h"
#include "app/win32_program.h"

namespace latchsweep::win32::testing {

void pumpPending()
{
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageA(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pumpPending();
        if (done())
            return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left, 20)), QS_ALLINPUT);
    }
}

void pumpFor(std::chrono::milliseconds duration)
{
    pumpUntil([] { return false; }, duration);
}

void settle() { pumpFor(300ms); }

ScratchDirectory::ScratchDirectory()
{
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
        path_ = base / ("latchsweep test " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
        if (std::filesystem::create_directory(path_))
            break;
    }
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    // Read-only files left by a test must not keep their directory alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::operator/(const std::string& name) const { return (path_ / name).string(); }

WorkingDirectory::WorkingDirectory(const std::filesystem::path& directory)
    : previous_(std::filesystem::current_path())
{
    std::filesystem::current_path(directory);
}

WorkingDirectory::~WorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

struct ClassSearch {
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ClassSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(className, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectBoxContent(HWND child, LPARAM context)
{
    auto* box = reinterpret_cast<AnsweredBox*>(context);
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") == 0)
        box->text += windowText(child);
    else if (lstrcmpiA(className, "Button") == 0 && IsWindowVisible(child))
        ++box->buttons;
    return TRUE;
}

} // namespace

std::vector<HWND> visibleWindowsOfClass(const char* className)
{
    ClassSearch search{className, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BoxAnswerer::BoxAnswerer() : thread_([this] { watch(); }) {}

BoxAnswerer::~BoxAnswerer()
{
    stop_ = true;
    thread_.join();
}

std::vector<AnsweredBox> BoxAnswerer::answered() const
{
    const std::lock_guard lock(mutex_);
    return answered_;
}

void BoxAnswerer::watch()
{
    std::vector<HWND> pressed;
    while (!stop_) {
        for (HWND box : visibleWindowsOfClass("#32770")) {
            if (std::find(pressed.begin(), pressed.end(), box) != pressed.end())
                continue;
            AnsweredBox seen{windowText(box), {}, 0};
            EnumChildWindows(box, collectBoxContent, reinterpret_cast<LPARAM>(&seen));
            {
                const std::lock_guard lock(mutex_);
                answered_.push_back(seen);
            }
            pressed.push_back(box);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        Sleep(20);
    }
}

Win32TestProgram::Win32TestProgram() { initControlLibraries(); }

Win32TestProgram::~Win32TestProgram()
{
    if (app)
        app->exitProgram();
}

ScopedRegistryValue::ScopedRegistryValue(std::string key, std::string name)
    : key_(std::move(key)), name_(std::move(name))
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    keyExisted_ = true;
    DWORD size = 0;
    if (RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        saved_.resize(size);
        hadValue_ = RegQueryValueExA(handle, name_.c_str(), nullptr, &type_, saved_.data(), &size) == ERROR_SUCCESS;
        saved_.resize(size);
    }
    RegCloseKey(handle);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExA(handle, name_.c_str(), 0, type_, saved_.data(), static_cast<DWORD>(saved_.size()));
    else
        RegDeleteValueA(handle, name_.c_str());
    RegCloseKey(handle);
    if (!keyExisted_)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
}

bool ScopedRegistryValue::set(DWORD type, const std::string& bytes)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(handle, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

void ScopedRegistryValue::remove()
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, name_.c_str());
        RegCloseKey(handle);
    }
}

int px(int twips) { return twipsToPixels(twips, screenTwipsPerPixel()); }

RECT clientRectOf(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string besideTest(const std::string& name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return (std::filesystem::path(path).parent_path() / name).string();
}

} // namespace latchsweep::win32::testing
