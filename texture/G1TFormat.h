#pragma once
// The G1T texture pack layout shared by the converter and the authoring writer (all little-endian):
// a 20-byte header, a table of record offsets counted from the table's start, and per texture an
// 8-byte record followed by its top-level pixels.
#include <cstdint>

namespace tavro::g1t {

constexpr std::uint32_t kMagic = 0x47315447;   // the bytes "GT1G"
constexpr std::uint32_t kVersion = 0x30303530; // the bytes "0500"
constexpr std::uint32_t kHeaderSize = 20;      // magic, version, file size, table offset, texture count
constexpr std::uint32_t kRecordSize = 8;

// Texture record bytes: byte 0 (low nibble must be 0), format code, log2 dimensions (width low nibble,
// height high nibble), then five bytes the reader does not interpret.
enum FormatCode : std::uint8_t {
    kFormatRGBA8 = 0, // bytes R, G, B, A
    kFormatBGRA8 = 1, // bytes B, G, R, A
    kFormatDXT1 = 6,
    kFormatDXT3 = 7,
    kFormatDXT5 = 8,
};

// Direct3D 9 format numbers the DDS prefix uses for the two 32-bit layouts.
constexpr std::uint32_t kD3DFormatA8R8G8B8 = 21;
constexpr std::uint32_t kD3DFormatA8B8G8R8 = 32;

// Top-level pixel bytes of a width x height texture in the given format; 0 for an unknown code. DXT1
// rounds down, so a 1 x 1 DXT1 texture has no bytes and cannot be converted.
constexpr std::uint64_t PixelByteCount(std::uint8_t formatCode, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t pixels = std::uint64_t{width} * height;
    switch (formatCode) {
    case kFormatRGBA8:
    case kFormatBGRA8:
        return pixels * 4;
    case kFormatDXT1:
        return pixels / 2;
    case kFormatDXT3:
    case kFormatDXT5:
        return pixels;
    default:
        return 0;
    }
}

} // namespace tavro::g1t
