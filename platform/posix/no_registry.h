#pragma once

#include "core/base/system_ports.h"

namespace latchsweep {

// The registry of a system that has none: every key is missing, so the System Information
// lookup reports the program unavailable.
class NoRegistry : public Registry {
public:
    static constexpr std::int32_t kFileNotFound = 2; // ERROR_FILE_NOT_FOUND

    std::int32_t open(RegistryKey, const std::string&, std::uint32_t, std::uint32_t, RegistryKey&) override
    {
        return kFileNotFound;
    }
    std::int32_t query(RegistryKey, const std::string&, std::uint32_t&, std::vector<std::uint8_t>&,
                       std::uint32_t&) override
    {
        return kFileNotFound;
    }
    void close(RegistryKey) override {}
};

} // namespace latchsweep
