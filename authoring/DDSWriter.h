#pragma once
// Writing DDS images for tests: any header field can be set, so both valid and malformed images can be
// built, with or without the DX10 extension.
#include "gpu/Format.h"
#include "texture/DDSFormat.h"
#include "texture/DDSLayout.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

// The header fields of an image, written as given. The defaults describe a 1 x 1 single-level 2D
// DXT1 texture without the extension.
struct DDSHeaderFields {
    std::uint32_t flags = dds::kFlagCaps | dds::kFlagHeight | dds::kFlagWidth | dds::kFlagPixelFormat;
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint32_t depth = 0;
    std::uint32_t mipMapCount = 0;
    DDSPixelFormat pixelFormat{dds::kPixelFormatSize, dds::kPixelFourCC, dds::MakeFourCC('D', 'X', 'T', '1')};
    std::uint32_t caps = dds::kCapsTexture;
    std::uint32_t caps2 = 0;
    // The extension is written when pixelFormat names it (FourCC flag and "DX10").
    gpu::Format dx10Format = gpu::Format::Unknown;
    std::uint32_t dx10Dimension = static_cast<std::uint32_t>(DDSDimension::Texture2D);
    std::uint32_t dx10MiscFlag = 0;
    std::uint32_t dx10ArraySize = 1;
};

// Header fields with the DX10 extension for a texture of the given format and shape; a cube's
// arraySize counts cubes. 3D textures get the depth flag, mip chains the mip-count flag.
DDSHeaderFields DX10HeaderFields(gpu::Format format, DDSDimension dimension, std::uint32_t width,
                                 std::uint32_t height, std::uint32_t depth, std::uint32_t mipCount,
                                 std::uint32_t arraySize, bool cube);

// The image: magic, 124-byte header, the extension when the pixel format names it, then pixels.
std::vector<std::uint8_t> WriteDDS(const DDSHeaderFields& header, std::span<const std::uint8_t> pixels);

} // namespace tavro::authoring
