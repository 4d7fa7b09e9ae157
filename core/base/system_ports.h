#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace latchsweep {

using RegistryKey = std::uint32_t;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;

// The three registry calls the System Information lookup makes, with names and string values in
// UTF-8 (the Windows port converts them to and from the system's wide forms).
class Registry {
public:
    virtual ~Registry() = default;
    // 0 and an open key, or a non-zero error code.
    virtual std::int32_t open(RegistryKey root, const std::string& subKey, std::uint32_t options,
                              std::uint32_t accessMask, RegistryKey& key) = 0;
    // 0 with the type and the bytes written into `data` (whose size is the buffer size), or a
    // non-zero error code, also when the value needs more room than `data` has.
    virtual std::int32_t query(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                               std::vector<std::uint8_t>& data, std::uint32_t& size) = 0;
    virtual void close(RegistryKey key) = 0;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program at `path` as a new process in a normal, focused window, without
    // waiting; the path is the program itself, never split at spaces nor passed to a shell.
    virtual bool launch(const std::string& path) = 0;
};

} // namespace latchsweep
