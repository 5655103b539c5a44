#pragma once
// Unaligned little-endian loads from file bytes. Callers check bounds before loading.
#include <cstdint>
#include <cstring>

namespace tavro {

inline std::uint16_t LoadU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline std::uint32_t LoadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline float LoadF32(const std::uint8_t* bytes) {
    const std::uint32_t bits = LoadU32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace tavro
