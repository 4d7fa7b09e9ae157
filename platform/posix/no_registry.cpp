#include "platform/posix/no_registry.h"

namespace latchsweep {

std::int32_t NoRegistry::open(RegistryKey, const std::string&, std::uint32_t, std::uint32_t, RegistryKey&)
{
    return kFileNotFound;
}

std::int32_t NoRegistry::query(RegistryKey, const std::string&, std::uint32_t&, std::vector<std::uint8_t>&,
                               std::uint32_t&)
{
    return kFileNotFound;
}

void NoRegistry::close(RegistryKey) {}

} // namespace latchsweep
