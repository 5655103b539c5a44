#include "export/PixelDecoding.h"

#include <squish.h>

#include <iterator>
#include <new>

namespace tavro {
namespace {

using gpu::Format;

// Indexed by format value.
constexpr const char* kFormatNames[] = {
    "UNKNOWN",
    "R32G32B32A32_TYPELESS",
    "R32G32B32A32_FLOAT",
    "R32G32B32A32_UINT",
    "R32G32B32A32_SINT",
    "R32G32B32_TYPELESS",
    "R32G32B32_FLOAT",
    "R32G32B32_UINT",
    "R32G32B32_SINT",
    "R16G16B16A16_TYPELESS",
    "R16G16B16A16_FLOAT",
    "R16G16B16A16_UNORM",
    "R16G16B16A16_UINT",
    "R16G16B16A16_SNORM",
    "R16G16B16A16_SINT",
    "R32G32_TYPELESS",
    "R32G32_FLOAT",
    "R32G32_UINT",
    "R32G32_SINT",
    "R32G8X24_TYPELESS",
    "D32_FLOAT_S8X24_UINT",
    "R32_FLOAT_X8X24_TYPELESS",
    "X32_TYPELESS_G8X24_UINT",
    "R10G10B10A2_TYPELESS",
    "R10G10B10A2_UNORM",
    "R10G10B10A2_UINT",
    "R11G11B10_FLOAT",
    "R8G8B8A8_TYPELESS",
    "R8G8B8A8_UNORM",
    "R8G8B8A8_UNORM_SRGB",
    "R8G8B8A8_UINT",
    "R8G8B8A8_SNORM",
    "R8G8B8A8_SINT",
    "R16G16_TYPELESS",
    "R16G16_FLOAT",
    "R16G16_UNORM",
    "R16G16_UINT",
    "R16G16_SNORM",
    "R16G16_SINT",
    "R32_TYPELESS",
    "D32_FLOAT",
    "R32_FLOAT",
    "R32_UINT",
    "R32_SINT",
    "R24G8_TYPELESS",
    "D24_UNORM_S8_UINT",
    "R24_UNORM_X8_TYPELESS",
    "X24_TYPELESS_G8_UINT",
    "R8G8_TYPELESS",
    "R8G8_UNORM",
    "R8G8_UINT",
    "R8G8_SNORM",
    "R8G8_SINT",
    "R16_TYPELESS",
    "R16_FLOAT",
    "D16_UNORM",
    "R16_UNORM",
    "R16_UINT",
    "R16_SNORM",
    "R16_SINT",
    "R8_TYPELESS",
    "R8_UNORM",
    "R8_UINT",
    "R8_SNORM",
    "R8_SINT",
    "A8_UNORM",
    "R1_UNORM",
    "R9G9B9E5_SHAREDEXP",
    "R8G8_B8G8_UNORM",
    "G8R8_G8B8_UNORM",
    "BC1_TYPELESS",
    "BC1_UNORM",
    "BC1_UNORM_SRGB",
    "BC2_TYPELESS",
    "BC2_UNORM",
    "BC2_UNORM_SRGB",
    "BC3_TYPELESS",
    "BC3_UNORM",
    "BC3_UNORM_SRGB",
    "BC4_TYPELESS",
    "BC4_UNORM",
    "BC4_SNORM",
    "BC5_TYPELESS",
    "BC5_UNORM",
    "BC5_SNORM",
    "B5G6R5_UNORM",
    "B5G5R5A1_UNORM",
    "B8G8R8A8_UNORM",
    "B8G8R8X8_UNORM",
    "R10G10B10_XR_BIAS_A2_UNORM",
    "B8G8R8A8_TYPELESS",
    "B8G8R8A8_UNORM_SRGB",
    "B8G8R8X8_TYPELESS",
    "B8G8R8X8_UNORM_SRGB",
    "BC6H_TYPELESS",
    "BC6H_UF16",
    "BC6H_SF16",
    "BC7_TYPELESS",
    "BC7_UNORM",
    "BC7_UNORM_SRGB",
    "AYUV",
    "Y410",
    "Y416",
    "NV12",
    "P010",
    "P016",
    "420_OPAQUE",
    "YUY2",
    "Y210",
    "Y216",
    "NV11",
    "AI44",
    "IA44",
    "P8",
    "A8P8",
    "B4G4R4A4_UNORM",
};

struct Rgba8 {
    std::uint8_t r, g, b, a;
};

// Expands every pixel of an uncompressed surface through readPixel(row bytes, x).
template <typename ReadPixel>
void ExpandRows(const std::uint8_t* data, std::uint32_t rowPitch, std::uint32_t width, std::uint32_t height,
                std::uint8_t* rgba, ReadPixel readPixel) {
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = data + std::uint64_t{y} * rowPitch;
        for (std::uint32_t x = 0; x < width; ++x, rgba += 4) {
            const Rgba8 pixel = readPixel(row, x);
            rgba[0] = pixel.r;
            rgba[1] = pixel.g;
            rgba[2] = pixel.b;
            rgba[3] = pixel.a;
        }
    }
}

int SquishFlags(Format format) {
    switch (format) {
    case Format::BC1_UNorm:
    case Format::BC1_UNorm_SRGB:
        return squish::kDxt1;
    case Format::BC2_UNorm:
    case Format::BC2_UNorm_SRGB:
        return squish::kDxt3;
    case Format::BC3_UNorm:
    case Format::BC3_UNorm_SRGB:
        return squish::kDxt5;
    default:
        return 0;
    }
}

bool ExpandUncompressed(Format format, const std::uint8_t* data, std::uint32_t rowPitch, std::uint32_t width,
                        std::uint32_t height, std::uint8_t* rgba) {
    switch (format) {
    case Format::R8G8B8A8_UNorm:
    case Format::R8G8B8A8_UNorm_SRGB:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            const std::uint8_t* p = row + 4 * x;
            return Rgba8{p[0], p[1], p[2], p[3]};
        });
        return true;
    case Format::B8G8R8A8_UNorm:
    case Format::B8G8R8A8_UNorm_SRGB:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            const std::uint8_t* p = row + 4 * x;
            return Rgba8{p[2], p[1], p[0], p[3]};
        });
        return true;
    case Format::B8G8R8X8_UNorm:
    case Format::B8G8R8X8_UNorm_SRGB:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            const std::uint8_t* p = row + 4 * x;
            return Rgba8{p[2], p[1], p[0], 255};
        });
        return true;
    case Format::R8_UNorm:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            return Rgba8{row[x], 0, 0, 255};
        });
        return true;
    case Format::A8_UNorm:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            return Rgba8{0, 0, 0, row[x]};
        });
        return true;
    case Format::R8G8_UNorm:
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            return Rgba8{row[2 * x], row[2 * x + 1], 0, 255};
        });
        return true;
    // Each 4-byte group holds two pixels that share red and blue and have a green each.
    case Format::R8G8_B8G8_UNorm: // bytes R, G0, B, G1
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            const std::uint8_t* pair = row + 4 * (x / 2);
            return Rgba8{pair[0], pair[1 + 2 * (x % 2)], pair[2], 255};
        });
        return true;
    case Format::G8R8_G8B8_UNorm: // bytes G0, R, G1, B
        ExpandRows(data, rowPitch, width, height, rgba, [](const std::uint8_t* row, std::uint32_t x) {
            const std::uint8_t* pair = row + 4 * (x / 2);
            return Rgba8{pair[1], pair[2 * (x % 2)], pair[3], 255};
        });
        return true;
    default:
        return false;
    }
}

} // namespace

bool CanDecodeToRgba8(Format format) {
    switch (format) {
    case Format::R8G8B8A8_UNorm:
    case Format::R8G8B8A8_UNorm_SRGB:
    case Format::B8G8R8A8_UNorm:
    case Format::B8G8R8A8_UNorm_SRGB:
    case Format::B8G8R8X8_UNorm:
    case Format::B8G8R8X8_UNorm_SRGB:
    case Format::R8_UNorm:
    case Format::A8_UNorm:
    case Format::R8G8_UNorm:
    case Format::R8G8_B8G8_UNorm:
    case Format::G8R8_G8B8_UNorm:
        return true;
    default:
        return SquishFlags(format) != 0;
    }
}

const char* FormatName(Format format) {
    const auto value = static_cast<std::uint32_t>(format);
    return value < std::size(kFormatNames) ? kFormatNames[value] : "an unknown format";
}

bool DecodeSurfaceToRgba8(Format format, const std::uint8_t* data, std::uint32_t rowPitch,
                          std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t>& rgba) {
    rgba.clear();
    if (!CanDecodeToRgba8(format)) {
        return false;
    }
    try {
        rgba.resize(std::uint64_t{width} * height * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (const int flags = SquishFlags(format); flags != 0) {
        squish::DecompressImage(rgba.data(), static_cast<int>(width), static_cast<int>(height), data, flags);
        return true;
    }
    return ExpandUncompressed(format, data, rowPitch, width, height, rgba.data());
}

} // namespace tavro
