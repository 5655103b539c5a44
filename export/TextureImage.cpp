#include "export/TextureImage.h"

#include "export/PixelDecoding.h"
#include "file/MemoryFile.h"
#include "texture/DDSFormat.h"
#include "texture/DDSLayout.h"
#include "texture/G1TFormat.h"
#include "texture/G1TToDDS.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tavro {
namespace {

bool StartsWithMagic(std::span<const std::uint8_t> bytes, std::uint32_t magic) {
    std::uint32_t value = 0;
    if (bytes.size() < sizeof value) {
        return false;
    }
    std::memcpy(&value, bytes.data(), sizeof value);
    return value == magic;
}

// "mip level 3 is out of range: the texture has 2 mip levels (0 to 1)"
std::string OutOfRange(const std::string& what, std::uint32_t value, std::uint32_t count) {
    return what + " " + std::to_string(value) + " is out of range: the texture has " + std::to_string(count) +
           " " + what + (count == 1 ? "" : "s") + " (0 to " + std::to_string(count - 1) + ")";
}

bool DecodeDDSImage(std::span<const std::uint8_t> dds, const TextureImageChoice& choice, TextureImage& image,
                    std::string& error) {
    DDSTextureLayout layout;
    const HRESULT result = LayOutDDSTexture(dds.data(), dds.size(), 0, layout);
    if (Failed(result)) {
        error = DescribeDDSLayoutFailure(result);
        return false;
    }
    if (!CanDecodeToRgba8(layout.format)) {
        error = std::string("a texture of format ") + FormatName(layout.format) +
                " cannot be written as an 8-bit RGBA image";
        return false;
    }
    const std::uint32_t levels = layout.MipLevels();
    if (choice.mip >= levels) {
        error = OutOfRange("mip level", choice.mip, levels);
        return false;
    }
    const std::uint32_t width = std::max(layout.width >> choice.mip, 1u);
    const std::uint32_t height = std::max(layout.height >> choice.mip, 1u);
    const std::uint32_t depth = std::max(layout.depth >> choice.mip, 1u);
    // A volume's slices are the depth slices of the level; other textures' are their elements.
    const bool volume = layout.dimension == DDSDimension::Texture3D;
    const std::uint32_t slices = volume ? depth : layout.arraySize;
    if (choice.slice >= slices) {
        error = OutOfRange(volume ? "depth slice" : "slice", choice.slice, slices);
        return false;
    }
    const DDSSubresource& level =
        layout.subresources[std::size_t{volume ? 0 : choice.slice} * levels + choice.mip];
    const std::uint8_t* surface = level.data + (volume ? level.slicePitch * choice.slice : 0);
    if (!DecodeSurfaceToRgba8(layout.format, surface, level.rowPitch, width, height, image.rgba)) {
        error = "not enough memory to decode the texture";
        return false;
    }
    image.width = width;
    image.height = height;
    return true;
}

} // namespace

bool DecodeTextureImage(std::span<const std::uint8_t> bytes, const TextureImageChoice& choice,
                        TextureImage& image, std::string& error) {
    image = TextureImage{};
    if (StartsWithMagic(bytes, dds::kMagic)) {
        return DecodeDDSImage(bytes, choice, image, error);
    }
    if (!StartsWithMagic(bytes, g1t::kMagic)) {
        error = "neither a G1T texture pack nor a DDS image";
        return false;
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        error = "too large to be a G1T texture pack";
        return false;
    }
    try {
        CReadOnlyMemoryFile pack(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        CMemoryFile dds;
        if (!ConvertG1TToDDS(pack, dds)) {
            error = "a G1T texture pack whose first texture cannot be converted (bad header, record or "
                    "format, or pixel data cut short)";
            return false;
        }
        return DecodeDDSImage({dds.GetBuffer(), dds.GetSize()}, choice, image, error);
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the texture pack";
        return false;
    }
}

} // namespace tavro
