#pragma once

#include "core/base/system_ports.h"

namespace latchsweep::win32 {

// The registry through RegOpenKeyExW, RegQueryValueExW and RegCloseKey. Keys travel through
// the core as 32-bit values, as registry handles are on every Windows (a 64-bit process holds
// them sign-extended, the predefined roots included). Names and string values are UTF-8 on the
// core's side: a string value comes back in UTF-8, measured and bounded as such, and one that
// UTF-8 cannot hold is refused.
class Win32Registry : public Registry {
public:
    std::int32_t open(RegistryKey root, const std::string& subKey, std::uint32_t options, std::uint32_t accessMask,
                      RegistryKey& key) override;
    std::int32_t query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::vector<std::uint8_t>& data, std::uint32_t& size) override;
    void close(RegistryKey key) override;
};

// CreateProcessW with the path as the program to start, so that a path with spaces is never
// split into another program's name; the command line is the path quoted, as programs expect
// their own name first. The new program gets a normal window with the focus; nothing waits
// for it.
class Win32Launcher : public Launcher {
public:
    bool launch(const std::string& path) override;
};

} // namespace latchsweep::win32
