// Little-endian fields of byte buffers: device reports, profile files and macro blobs. Callers check bounds
// first; these never cast a buffer to a struct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vornak {

inline uint16_t ReadLe16(std::span<const uint8_t> b, size_t offset) {
    return static_cast<uint16_t>(b[offset] | (b[offset + 1] << 8));
}

inline uint32_t ReadLe32(std::span<const uint8_t> b, size_t offset) {
    return static_cast<uint32_t>(b[offset]) | (static_cast<uint32_t>(b[offset + 1]) << 8) |
           (static_cast<uint32_t>(b[offset + 2]) << 16) | (static_cast<uint32_t>(b[offset + 3]) << 24);
}

inline void WriteLe16(std::span<uint8_t> b, size_t offset, uint16_t v) {
    b[offset] = static_cast<uint8_t>(v & 0xFF);
    b[offset + 1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteLe32(std::span<uint8_t> b, size_t offset, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        b[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace vornak
