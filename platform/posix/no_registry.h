#pragma once

#include "core/base/system_ports.h"

namespace latchsweep {

// The registry of a system that has none: every key is missing, so the System Information
// lookup reports the program unavailable.
class NoRegistry : public Registry {
public:
    static constexpr std::int32_t kFileNotFound = 2; // ERROR_FILE_NOT_FOUND

    std::int32_t open(RegistryKey root, const std::string& subKey, std::uint32_t options, std::uint32_t accessMask,
                      RegistryKey& key) override;
    std::int32_t query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                       std::vector<std::uint8_t>& data, std::uint32_t& size) override;
    void close(RegistryKey key) override;
};

} // namespace latchsweep
