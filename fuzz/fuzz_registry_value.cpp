// The decoding of a registry value read into the 1024-byte buffer, for any type code, any size
// the registry reports and any bytes. Input: 4 bytes type, 4 bytes size, then the buffer's bytes
// (the rest of the 1024 stay zero, as the buffer is prepared).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/about/sysinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::uint32_t type = 0;
    std::uint32_t reported = 0;
    std::memcpy(&type, data, 4);
    std::memcpy(&reported, data + 4, 4);
    // Small types and sizes are the interesting ones; keep them likely.
    type %= 12;
    if (reported & 0x8000'0000u)
        reported %= 1100;
    std::array<std::uint8_t, latchsweep::kRegistryValueBuffer> buffer{};
    std::copy_n(data + 8, std::min(size - 8, buffer.size()), buffer.begin());
    const std::string_view previous = "previous";

    const std::string text = latchsweep::decodeRegistryValue(type, buffer, reported, previous);

    std::string kept(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(reported, buffer.size()));
    if (!kept.empty() && kept.back() == '\0')
        kept.pop_back();
    if (type == latchsweep::kRegSz) {
        if (text != kept)
            std::abort();
    } else if (type == latchsweep::kRegDword) {
        // The bytes as a little-endian number, in decimal when it fits 64 bits.
        const auto significant = kept.find_last_not_of('\0');
        if (kept.empty()) {
            if (text != "&h")
                std::abort();
        } else if (significant == std::string::npos || significant < 8) {
            unsigned long long number = 0;
            for (std::size_t i = std::min<std::size_t>(kept.size(), 8); i-- > 0;)
                number = number * 256 + static_cast<unsigned char>(kept[i]);
            if (text != std::to_string(number))
                std::abort();
        } else if (!text.starts_with("&h") || text.size() != 2 + 2 * kept.size()) {
            std::abort();
        }
    } else if (text != previous) {
        std::abort();
    }
    return 0;
}
