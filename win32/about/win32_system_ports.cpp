#include "win32/about/win32_system_ports.h"

#include <windows.h>

#include "win32/app/handles.h"

namespace latchsweep::win32 {

std::int32_t Win32Registry::open(RegistryKey root, const std::string& subKey, std::uint32_t options,
                                 std::uint32_t accessMask, RegistryKey& key)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(fromHandle32<HKEY>(root), subKey.c_str(), options, accessMask, &opened);
    key = result == ERROR_SUCCESS ? toHandle32(opened) : 0;
    return static_cast<std::int32_t>(result);
}

std::int32_t Win32Registry::query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                  std::vector<std::uint8_t>& data, std::uint32_t& size)
{
    DWORD valueType = 0;
    DWORD valueSize = static_cast<DWORD>(data.size());
    const LONG result =
        RegQueryValueExA(fromHandle32<HKEY>(key), valueName.c_str(), nullptr, &valueType, data.data(), &valueSize);
    type = valueType;
    size = valueSize;
    return static_cast<std::int32_t>(result);
}

void Win32Registry::close(RegistryKey key)
{
    // Closing no key at all (after a failed open) does nothing.
    if (key != 0)
        RegCloseKey(fromHandle32<HKEY>(key));
}

bool Win32Launcher::launch(const std::string& path)
{
    // A quote cannot be part of a Windows file name; one here would end the quoted name early.
    if (path.empty() || path.find('"') != std::string::npos)
        return false;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace latchsweep::win32
