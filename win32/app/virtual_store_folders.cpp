#include "win32/app/virtual_store_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <utility>

#include "win32/app/handles.h"

namespace latchsweep::win32 {
namespace {

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
    const auto root = localAppData.empty() ? std::nullopt : utf8Name(localAppData);
    if (!root)
        return store;
    store.root = *root + "\\VirtualStore";
    const std::wstring folders[] = {
        knownFolder(FOLDERID_ProgramFiles), // the process's own: Program Files (x86) for 32-bit code
        knownFolder(FOLDERID_ProgramFilesX86),
        environmentFolder(L"ProgramW6432"), // the 64-bit one, which 32-bit code is not told of otherwise
        knownFolder(FOLDERID_Windows),         knownFolder(FOLDERID_ProgramData),
    };
    for (auto folder = std::begin(folders); folder != std::end(folders); ++folder) {
        const auto same = [&](const std::wstring& other) {
            return CompareStringOrdinal(other.c_str(), -1, folder->c_str(), -1, TRUE) == CSTR_EQUAL;
        };
        // Program Files is named twice on every system: each folder is listed once.
        if (folder->empty() || std::any_of(std::begin(folders), folder, same))
            continue;
        if (auto name = utf8Name(*folder))
            store.folders.push_back(std::move(*name));
    }
    return store;
}

} // namespace latchsweep::win32
