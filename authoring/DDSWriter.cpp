#include "authoring/DDSWriter.h"

#include <cstring>

namespace tavro::authoring {
namespace {

void StoreU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

} // namespace

DDSHeaderFields DX10HeaderFields(gpu::Format format, DDSDimension dimension, std::uint32_t width,
                                 std::uint32_t height, std::uint32_t depth, std::uint32_t mipCount,
                                 std::uint32_t arraySize, bool cube) {
    DDSHeaderFields header;
    header.width = width;
    header.height = height;
    header.depth = depth;
    header.mipMapCount = mipCount;
    if (mipCount > 1) {
        header.flags |= dds::kFlagMipMapCount;
    }
    if (dimension == DDSDimension::Texture3D) {
        header.flags |= dds::kFlagDepth;
    }
    header.pixelFormat = DDSPixelFormat{dds::kPixelFormatSize, dds::kPixelFourCC, dds::kFourCCDX10};
    header.dx10Format = format;
    header.dx10Dimension = static_cast<std::uint32_t>(dimension);
    header.dx10MiscFlag = cube ? dds::kMiscTextureCube : 0;
    header.dx10ArraySize = arraySize;
    return header;
}

std::vector<std::uint8_t> WriteDDS(const DDSHeaderFields& header, std::span<const std::uint8_t> pixels) {
    const DDSPixelFormat& pf = header.pixelFormat;
    const bool hasDX10 = (pf.flags & dds::kPixelFourCC) != 0 && pf.fourCC == dds::kFourCCDX10;
    const std::size_t prefixSize = hasDX10 ? dds::kDX10PrefixSize : dds::kPrefixSize;
    std::vector<std::uint8_t> image(prefixSize, 0);
    StoreU32(image, 0, dds::kMagic);
    StoreU32(image, dds::kOffsetSize, dds::kHeaderSize);
    StoreU32(image, dds::kOffsetFlags, header.flags);
    StoreU32(image, dds::kOffsetHeight, header.height);
    StoreU32(image, dds::kOffsetWidth, header.width);
    StoreU32(image, dds::kOffsetDepth, header.depth);
    StoreU32(image, dds::kOffsetMipMapCount, header.mipMapCount);
    const std::uint32_t pixelFormat[8] = {pf.size,     pf.flags,    pf.fourCC,   pf.rgbBitCount,
                                          pf.rBitMask, pf.gBitMask, pf.bBitMask, pf.aBitMask};
    std::memcpy(image.data() + dds::kOffsetPixelFormat, pixelFormat, sizeof pixelFormat);
    StoreU32(image, dds::kOffsetCaps, header.caps);
    StoreU32(image, dds::kOffsetCaps2, header.caps2);
    if (hasDX10) {
        StoreU32(image, dds::kOffsetDX10Format, static_cast<std::uint32_t>(header.dx10Format));
        StoreU32(image, dds::kOffsetDX10Dimension, header.dx10Dimension);
        StoreU32(image, dds::kOffsetDX10MiscFlag, header.dx10MiscFlag);
        StoreU32(image, dds::kOffsetDX10ArraySize, header.dx10ArraySize);
    }
    image.insert(image.end(), pixels.begin(), pixels.end());
    return image;
}

} // namespace tavro::authoring
