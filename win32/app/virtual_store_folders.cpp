#include "win32/app/virtual_store_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace latchsweep::win32 {
namespace {

std::string utf8Of(const std::wstring& text)
{
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    // A folder this user's profile has not made yet is still named.
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring environmentFolder(const wchar_t* name)
{
    std::wstring value(MAX_PATH + 1, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length < value.size() ? length : 0);
    return value;
}

} // namespace

VirtualStore systemVirtualStore()
{
    VirtualStore store;
    const std::wstring localAppData = knownFolder(FOLDERID_LocalAppData);
    if (localAppData.empty())
        return store;
    store.root = utf8Of(localAppData) + "\\VirtualStore";
    const std::wstring folders[] = {
        knownFolder(FOLDERID_ProgramFiles), // the process's own: Program Files (x86) for 32-bit code
        knownFolder(FOLDERID_ProgramFilesX86),
        environmentFolder(L"ProgramW6432"), // the 64-bit one, which 32-bit code is not told of otherwise
        knownFolder(FOLDERID_Windows),         knownFolder(FOLDERID_ProgramData),
    };
    std::vector<std::wstring> seen;
    for (const std::wstring& folder : folders) {
        const auto same = [&](const std::wstring& other) {
            return CompareStringOrdinal(other.c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL;
        };
        if (folder.empty() || std::ranges::any_of(seen, same))
            continue;
        seen.push_back(folder);
        store.folders.push_back(utf8Of(folder));
    }
    return store;
}

} // namespace latchsweep::win32
