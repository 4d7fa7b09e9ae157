#include "tests/win32/support/win32_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

#include "win32/app/win32_program.h"

namespace latchsweep::win32::testing {

void pumpPending()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pumpPending();
        if (done())
            return true;
        using std::chrono::milliseconds;
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min(left, milliseconds(20)).count()),
                                  QS_ALLINPUT);
    }
}

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
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::path(fromUtf8(path)), std::ios::binary | std::ios::trunc) << bytes;
}

std::string readFile(const std::string& path)
{
    std::ostringstream content;
    content << std::ifstream(std::filesystem::path(fromUtf8(path)), std::ios::binary).rdbuf();
    return content.str();
}

namespace {

struct ClassSearch {
    const char* className;
    std::vector<HWND> found;
};

// Enumeration callbacks are named functions: a lambda cannot carry CALLBACK (__stdcall), which
// 32-bit Windows requires of them.
BOOL CALLBACK collectVisibleOfClass(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ClassSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(name, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectBoxContent(HWND child, LPARAM context)
{
    auto* content = reinterpret_cast<AnsweredBox*>(context);
    char name[32] = {};
    GetClassNameA(child, name, sizeof(name));
    if (lstrcmpiA(name, "Static") == 0)
        content->text += windowText(child);
    else if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(child))
        ++content->buttons;
    return TRUE;
}

BOOL CALLBACK countTakingInput(HWND window, LPARAM context)
{
    auto* content = reinterpret_cast<AnsweredBox*>(context);
    content->othersTakingInput += IsWindowVisible(window) && IsWindowEnabled(window) ? 1 : 0;
    return TRUE;
}

} // namespace

std::vector<HWND> visibleWindowsOfClass(const char* className)
{
    ClassSearch search{className, {}};
    EnumWindows(collectVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BoxAnswerer::BoxAnswerer()
    : thread_([this] {
          std::vector<HWND> pressed;
          for (; !stop_; Sleep(20)) {
              for (HWND box : visibleWindowsOfClass("#32770")) {
                  if (std::find(pressed.begin(), pressed.end(), box) != pressed.end())
                      continue;
                  AnsweredBox seen{windowText(box), {}, 0, GetWindow(box, GW_OWNER), 0};
                  EnumThreadWindows(GetWindowThreadProcessId(box, nullptr), countTakingInput,
                                    reinterpret_cast<LPARAM>(&seen));
                  --seen.othersTakingInput; // the box itself
                  EnumChildWindows(box, collectBoxContent, reinterpret_cast<LPARAM>(&seen));
                  const std::lock_guard lock(mutex_);
                  answered_.push_back(seen);
                  pressed.push_back(box);
                  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              }
          }
      })
{}

Win32TestProgram::Win32TestProgram() { initControlLibraries(); }

ScopedRegistryValue::ScopedRegistryValue(std::string key, std::string name)
    : key_(std::move(key)),
      name_(std::move(name))
{
    HKEY handle = nullptr;
    keyExisted_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (keyExisted_)
        RegCloseKey(handle);
    DWORD size = 0;
    const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), flags, &type_, nullptr, &size) == ERROR_SUCCESS) {
        saved_.resize(size);
        hadValue_ = RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), flags, &type_, saved_.data(),
                                 &size) == ERROR_SUCCESS;
        saved_.resize(size);
    }
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    if (hadValue_)
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), type_, saved_.data(),
                        static_cast<DWORD>(saved_.size()));
    else
        remove();
    if (!keyExisted_)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
}

void expectWindowAsLaidOut(HWND window, const Controls& controls, const WindowLayout& windowLayout)
{
    EXPECT_EQ(windowText(window), windowLayout.caption);
    EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(windowLayout.clientWidth));
    EXPECT_EQ(client.bottom, px(windowLayout.clientHeight));
    for (const ControlLayout& control : windowLayout.controls) {
        const std::string where = std::string(windowLayout.name) + "." + std::string(control.name);
        HWND native = controls[control.name];
        ASSERT_NE(native, nullptr) << where;
        // Each edge is converted on its own, and a frame's child by the frame's converted origin.
        int left = px(control.rect.left);
        int top = px(control.rect.top);
        if (const ControlLayout* frame = findControl(windowLayout, control.parent)) {
            left += px(frame->rect.left);
            top += px(frame->rect.top);
        }
        const RECT expected{left, top, left + px(control.rect.width), top + px(control.rect.height)};
        RECT at{};
        GetWindowRect(native, &at);
        MapWindowPoints(nullptr, GetParent(native), reinterpret_cast<POINT*>(&at), 2);
        EXPECT_TRUE(EqualRect(&at, &expected))
            << where << " at " << at.left << "," << at.top << " to " << at.right << "," << at.bottom << ", not "
            << expected.left << "," << expected.top << " to " << expected.right << "," << expected.bottom;
        EXPECT_EQ(windowText(native), control.text) << where;
    }
}

void expectMenuMatches(HMENU menu, std::span<const MenuItem> items, const std::string& where)
{
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size())) << where;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto position = static_cast<UINT>(i);
        const std::string item = where + " > " + std::string(items[i].caption);
        wchar_t text[128] = {};
        GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
        EXPECT_EQ(toUtf8(text), items[i].caption) << item;
        HMENU submenu = GetSubMenu(menu, static_cast<int>(i));
        EXPECT_EQ(submenu != nullptr, !items[i].children.empty()) << item;
        EXPECT_EQ(GetMenuState(menu, position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u) << item;
        if (submenu)
            expectMenuMatches(submenu, items[i].children, item);
    }
}

std::string besideTest(const std::string& name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return (std::filesystem::path(path).parent_path() / name).string();
}

} // namespace latchsweep::win32::testing
