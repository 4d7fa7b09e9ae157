#include "win32/about/win32_system_ports.h"

#include <windows.h>

#include "core/about/sysinfo.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

// The lookup interprets the registry's own numbers: the access it asks for and the value types
// the query reports.
static_assert(kKeyRead == static_cast<std::uint32_t>(KEY_READ), "the access the lookup asks for is KEY_READ");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY && kRegDword == REG_DWORD &&
                  kRegMultiSz == REG_MULTI_SZ,
              "the value types as RegQueryValueExA reports them");

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
