#include "win32/about/win32_system_ports.h"

#include <windows.h>

#include <algorithm>

#include "core/about/sysinfo.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {

// The lookup interprets the registry's own numbers: the access it asks for and the value types
// the query reports.
static_assert(kKeyRead == static_cast<std::uint32_t>(KEY_READ), "the access the lookup asks for is KEY_READ");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY && kRegDword == REG_DWORD &&
                  kRegMultiSz == REG_MULTI_SZ,
              "the value types as RegQueryValueExW reports them");

std::int32_t Win32Registry::open(RegistryKey root, const std::string& subKey, std::uint32_t options,
                                 std::uint32_t accessMask, RegistryKey& key)
{
    HKEY opened = nullptr;
    const auto name = wideName(subKey);
    const LONG result = name ? RegOpenKeyExW(fromHandle32<HKEY>(root), name->c_str(), options, accessMask, &opened)
                             : ERROR_INVALID_NAME;
    key = result == ERROR_SUCCESS ? toHandle32(opened) : 0;
    return static_cast<std::int32_t>(result);
}

std::int32_t Win32Registry::query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                                  std::vector<std::uint8_t>& data, std::uint32_t& size)
{
    const auto name = wideName(valueName);
    if (!name)
        return ERROR_INVALID_NAME;
    // A string that fits the buffer in UTF-8 takes at most twice its bytes in UTF-16: a value
    // that does not fit this buffer would not fit the caller's either.
    std::vector<BYTE> raw(data.size() * 2);
    DWORD valueType = 0;
    DWORD valueSize = static_cast<DWORD>(raw.size());
    const LONG result =
        RegQueryValueExW(fromHandle32<HKEY>(key), name->c_str(), nullptr, &valueType, raw.data(), &valueSize);
    type = valueType;
    if (result != ERROR_SUCCESS)
        return static_cast<std::int32_t>(result);
    std::string_view bytes(reinterpret_cast<const char*>(raw.data()), std::min<std::size_t>(valueSize, raw.size()));
    std::string text;
    if (valueType == REG_SZ || valueType == REG_EXPAND_SZ || valueType == REG_MULTI_SZ) {
        std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
        std::copy_n(bytes.data(), wide.size() * sizeof(wchar_t), reinterpret_cast<char*>(wide.data()));
        const auto utf8 = utf8Exactly(wide);
        if (!utf8)
            return ERROR_INVALID_DATA;
        text = *utf8;
        bytes = text;
    }
    if (bytes.size() > data.size())
        return ERROR_MORE_DATA;
    std::copy(bytes.begin(), bytes.end(), data.begin());
    size = static_cast<std::uint32_t>(bytes.size());
    return ERROR_SUCCESS;
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
    const auto program = wideName(path);
    if (path.empty() || path.find('"') != std::string::npos || !program)
        return false;
    std::wstring commandLine = L"\"" + *program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace latchsweep::win32
