#pragma once
// The DDS image layout shared by the converter that writes DDS prefixes, the loader that reads them and
// the authoring writer: magic, sizes, field offsets and flag values, all little-endian.
#include <cstddef>
#include <cstdint>

namespace tavro::dds {

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

constexpr std::uint32_t kMagic = MakeFourCC('D', 'D', 'S', ' ');
constexpr std::uint32_t kHeaderSize = 124;     // dwSize of the header that follows the magic
constexpr std::uint32_t kPixelFormatSize = 32; // ddspf.dwSize
constexpr std::uint32_t kPrefixSize = 128;     // magic + header: where plain pixel data start
constexpr std::uint32_t kDX10PrefixSize = 148; // magic + header + DX10 extension

// Field offsets from the first byte of the image.
constexpr std::size_t kOffsetSize = 4;
constexpr std::size_t kOffsetFlags = 8;
constexpr std::size_t kOffsetHeight = 12;
constexpr std::size_t kOffsetWidth = 16;
constexpr std::size_t kOffsetPitchOrLinearSize = 20;
constexpr std::size_t kOffsetDepth = 24;
constexpr std::size_t kOffsetMipMapCount = 28;
constexpr std::size_t kOffsetPixelFormat = 76;
constexpr std::size_t kOffsetCaps = 108;
constexpr std::size_t kOffsetCaps2 = 112;
constexpr std::size_t kOffsetDX10Format = 128;
constexpr std::size_t kOffsetDX10Dimension = 132;
constexpr std::size_t kOffsetDX10MiscFlag = 136;
constexpr std::size_t kOffsetDX10ArraySize = 140;

// Header flags (dwFlags).
constexpr std::uint32_t kFlagCaps = 0x1;
constexpr std::uint32_t kFlagHeight = 0x2;
constexpr std::uint32_t kFlagWidth = 0x4;
constexpr std::uint32_t kFlagPixelFormat = 0x1000;
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kFlagDepth = 0x800000;

// Pixel-format flags (ddspf.dwFlags).
constexpr std::uint32_t kPixelAlphaPixels = 0x1;
constexpr std::uint32_t kPixelAlpha = 0x2;
constexpr std::uint32_t kPixelFourCC = 0x4;
constexpr std::uint32_t kPixelRGB = 0x40;
constexpr std::uint32_t kPixelLuminance = 0x20000;

// Capability flags (dwCaps, dwCaps2).
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCaps2CubeMap = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFE00; // the cube-map bit plus the six face bits

// DX10 extension values.
constexpr std::uint32_t kFourCCDX10 = MakeFourCC('D', 'X', '1', '0');
constexpr std::uint32_t kMiscTextureCube = 0x4;

} // namespace tavro::dds
