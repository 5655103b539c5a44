#include "texture/DDSLayout.h"

#include "file/LittleEndian.h"
#include "texture/DDSFormat.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <limits>

namespace tavro {
namespace {

using gpu::Format;

constexpr std::uint32_t kMaxMipCount = 15;
constexpr std::uint32_t kMaxArraySize = 2048;
constexpr std::uint32_t kMaxSize1D2D = 16384;
constexpr std::uint32_t kMaxSize3D = 2048;

const HRESULT kInvalidData = HResultFromWin32(kERROR_INVALID_DATA);
const HRESULT kNotSupported = HResultFromWin32(kERROR_NOT_SUPPORTED);
const HRESULT kHandleEof = HResultFromWin32(kERROR_HANDLE_EOF);

DDSPixelFormat ReadPixelFormat(const std::uint8_t* bytes) {
    const std::size_t base = dds::kOffsetPixelFormat;
    DDSPixelFormat pf;
    pf.size = LoadU32(bytes + base);
    pf.flags = LoadU32(bytes + base + 4);
    pf.fourCC = LoadU32(bytes + base + 8);
    pf.rgbBitCount = LoadU32(bytes + base + 12);
    pf.rBitMask = LoadU32(bytes + base + 16);
    pf.gBitMask = LoadU32(bytes + base + 20);
    pf.bBitMask = LoadU32(bytes + base + 24);
    pf.aBitMask = LoadU32(bytes + base + 28);
    return pf;
}

bool HasMasks(const DDSPixelFormat& pf, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return pf.rBitMask == r && pf.gBitMask == g && pf.bBitMask == b && pf.aBitMask == a;
}

Format RGBFormat(const DDSPixelFormat& pf) {
    if (pf.rgbBitCount == 32) {
        if (HasMasks(pf, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000)) {
            return Format::R8G8B8A8_UNorm;
        }
        if (HasMasks(pf, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)) {
            return Format::B8G8R8A8_UNorm;
        }
        if (HasMasks(pf, 0x00FF0000, 0x0000FF00, 0x000000FF, 0)) {
            return Format::B8G8R8X8_UNorm;
        }
        if (HasMasks(pf, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000)) {
            return Format::R10G10B10A2_UNorm;
        }
        if (HasMasks(pf, 0x0000FFFF, 0xFFFF0000, 0, 0)) {
            return Format::R16G16_UNorm;
        }
        if (HasMasks(pf, 0xFFFFFFFF, 0, 0, 0)) {
            return Format::R32_Float;
        }
    } else if (pf.rgbBitCount == 16) {
        if (HasMasks(pf, 0x7C00, 0x03E0, 0x001F, 0x8000)) {
            return Format::B5G5R5A1_UNorm;
        }
        if (HasMasks(pf, 0xF800, 0x07E0, 0x001F, 0)) {
            return Format::B5G6R5_UNorm;
        }
        if (HasMasks(pf, 0x0F00, 0x00F0, 0x000F, 0xF000)) {
            return Format::B4G4R4A4_UNorm;
        }
    }
    return Format::Unknown;
}

Format LuminanceFormat(const DDSPixelFormat& pf) {
    if (pf.rgbBitCount == 8 && HasMasks(pf, 0xFF, 0, 0, 0)) {
        return Format::R8_UNorm;
    }
    if (pf.rgbBitCount == 16) {
        if (HasMasks(pf, 0xFFFF, 0, 0, 0)) {
            return Format::R16_UNorm;
        }
        if (HasMasks(pf, 0xFF, 0, 0, 0xFF00)) {
            return Format::R8G8_UNorm;
        }
    }
    return Format::Unknown;
}

Format FourCCFormat(std::uint32_t fourCC) {
    using dds::MakeFourCC;
    struct Row {
        std::uint32_t fourCC;
        Format format;
    };
    static constexpr Row kRows[] = {
        {MakeFourCC('D', 'X', 'T', '1'), Format::BC1_UNorm},
        {MakeFourCC('D', 'X', 'T', '3'), Format::BC2_UNorm},
        {MakeFourCC('D', 'X', 'T', '5'), Format::BC3_UNorm},
        {MakeFourCC('D', 'X', 'T', '2'), Format::BC2_UNorm},
        {MakeFourCC('D', 'X', 'T', '4'), Format::BC3_UNorm},
        {MakeFourCC('A', 'T', 'I', '1'), Format::BC4_UNorm},
        {MakeFourCC('B', 'C', '4', 'U'), Format::BC4_UNorm},
        {MakeFourCC('B', 'C', '4', 'S'), Format::BC4_SNorm},
        {MakeFourCC('A', 'T', 'I', '2'), Format::BC5_UNorm},
        {MakeFourCC('B', 'C', '5', 'U'), Format::BC5_UNorm},
        {MakeFourCC('B', 'C', '5', 'S'), Format::BC5_SNorm},
        {MakeFourCC('R', 'G', 'B', 'G'), Format::R8G8_B8G8_UNorm},
        {MakeFourCC('G', 'R', 'G', 'B'), Format::G8R8_G8B8_UNorm},
        // Direct3D 9 format numbers stored as FourCCs.
        {36, Format::R16G16B16A16_UNorm},
        {110, Format::R16G16B16A16_SNorm},
        {111, Format::R16_Float},
        {112, Format::R16G16_Float},
        {113, Format::R16G16B16A16_Float},
        {114, Format::R32_Float},
        {115, Format::R32G32_Float},
        {116, Format::R32G32B32A32_Float},
    };
    for (const Row& row : kRows) {
        if (row.fourCC == fourCC) {
            return row.format;
        }
    }
    return Format::Unknown;
}

bool IsBetween(Format format, Format first, Format last) {
    return format >= first && format <= last;
}

// Reads the texture's shape and format from the header (and extension) and checks them against the
// loader's limits.
HRESULT ReadTextureDescription(const std::uint8_t* bytes, bool hasDX10, DDSTextureLayout& layout) {
    const std::uint32_t flags = LoadU32(bytes + dds::kOffsetFlags);
    layout.width = LoadU32(bytes + dds::kOffsetWidth);
    layout.height = LoadU32(bytes + dds::kOffsetHeight);
    layout.depth = LoadU32(bytes + dds::kOffsetDepth);
    layout.mipCount = std::max<std::uint32_t>(LoadU32(bytes + dds::kOffsetMipMapCount), 1);
    layout.arraySize = 1;
    layout.cube = false;
    // 64-bit so that the six faces of a huge DX10 cube count cannot wrap past the array-size limit.
    std::uint64_t arraySize = 1;

    if (hasDX10) {
        arraySize = LoadU32(bytes + dds::kOffsetDX10ArraySize);
        if (arraySize == 0) {
            return kInvalidData;
        }
        layout.format = static_cast<Format>(LoadU32(bytes + dds::kOffsetDX10Format));
        if (FormatBitsPerPixel(layout.format) == 0) {
            return kNotSupported;
        }
        switch (LoadU32(bytes + dds::kOffsetDX10Dimension)) {
        case static_cast<std::uint32_t>(DDSDimension::Texture1D):
            if ((flags & dds::kFlagHeight) != 0 && layout.height != 1) {
                return kInvalidData;
            }
            layout.dimension = DDSDimension::Texture1D;
            layout.height = 1;
            layout.depth = 1;
            break;
        case static_cast<std::uint32_t>(DDSDimension::Texture2D):
            if ((LoadU32(bytes + dds::kOffsetDX10MiscFlag) & dds::kMiscTextureCube) != 0) {
                arraySize *= 6;
                layout.cube = true;
            }
            layout.dimension = DDSDimension::Texture2D;
            layout.depth = 1;
            break;
        case static_cast<std::uint32_t>(DDSDimension::Texture3D):
            if ((flags & dds::kFlagDepth) == 0) {
                return kInvalidData;
            }
            if (arraySize > 1) {
                return kNotSupported;
            }
            layout.dimension = DDSDimension::Texture3D;
            break;
        default:
            return kNotSupported;
        }
    } else {
        layout.format = DDSPixelFormatToDXGI(ReadPixelFormat(bytes));
        if (layout.format == Format::Unknown) {
            return kNotSupported;
        }
        if ((flags & dds::kFlagDepth) != 0) {
            layout.dimension = DDSDimension::Texture3D;
        } else {
            layout.dimension = DDSDimension::Texture2D;
            layout.depth = 1;
            const std::uint32_t caps2 = LoadU32(bytes + dds::kOffsetCaps2);
            if ((caps2 & dds::kCaps2CubeMap) != 0) {
                if ((caps2 & dds::kCaps2AllFaces) != dds::kCaps2AllFaces) {
                    return kNotSupported;
                }
                arraySize = 6;
                layout.cube = true;
            }
        }
    }

    if (layout.mipCount > kMaxMipCount) {
        return kNotSupported;
    }
    const bool is3D = layout.dimension == DDSDimension::Texture3D;
    const std::uint32_t maxSize = is3D ? kMaxSize3D : kMaxSize1D2D;
    if (arraySize > (is3D ? 1 : kMaxArraySize) || layout.width > maxSize || layout.height > maxSize ||
        (is3D && layout.depth > kMaxSize3D)) {
        return kNotSupported;
    }
    // An empty top level would leave the device a first-level size that does not match the first
    // table entry, so such images are refused rather than handed on.
    if (layout.width == 0 || layout.height == 0 || layout.depth == 0) {
        return kInvalidData;
    }
    // What every device refuses is refused here first, on every backend and in the tool alike: cube
    // faces that are not square, and more levels than the chain down to 1 x 1 x 1 holds.
    if (layout.cube && layout.width != layout.height) {
        return kNotSupported;
    }
    const std::uint32_t largestSide = std::max({layout.width, layout.height, is3D ? layout.depth : 1u});
    if (layout.mipCount > static_cast<std::uint32_t>(std::bit_width(largestSide))) {
        return kNotSupported;
    }
    layout.arraySize = static_cast<std::uint32_t>(arraySize);
    return kS_OK;
}

} // namespace

HRESULT LayOutDDSTexture(const std::uint8_t* bytes, std::size_t length, std::uint32_t sizeCap,
                         DDSTextureLayout& layout) {
    layout = DDSTextureLayout{};
    if (bytes == nullptr) {
        return kE_INVALIDARG;
    }
    if (length < dds::kPrefixSize || LoadU32(bytes) != dds::kMagic ||
        LoadU32(bytes + dds::kOffsetSize) != dds::kHeaderSize ||
        LoadU32(bytes + dds::kOffsetPixelFormat) != dds::kPixelFormatSize) {
        return kE_FAIL;
    }
    const DDSPixelFormat pixelFormat = ReadPixelFormat(bytes);
    const bool hasDX10 =
        (pixelFormat.flags & dds::kPixelFourCC) != 0 && pixelFormat.fourCC == dds::kFourCCDX10;
    const std::size_t pixelStart = hasDX10 ? dds::kDX10PrefixSize : dds::kPrefixSize;
    if (length < pixelStart) {
        return kE_FAIL;
    }
    HRESULT result = ReadTextureDescription(bytes, hasDX10, layout);
    if (Succeeded(result)) {
        result = FillSubresourceTable(layout, sizeCap, bytes + pixelStart, length - pixelStart);
    }
    if (Failed(result)) {
        layout = DDSTextureLayout{}; // nothing half-read is left for a caller to mistake for a texture
    }
    return result;
}

Format DDSPixelFormatToDXGI(const DDSPixelFormat& pixelFormat) {
    // The flag groups are tried in this order, and a block is judged by the first group it belongs to.
    if ((pixelFormat.flags & dds::kPixelRGB) != 0) {
        return RGBFormat(pixelFormat);
    }
    if ((pixelFormat.flags & dds::kPixelLuminance) != 0) {
        return LuminanceFormat(pixelFormat);
    }
    if ((pixelFormat.flags & dds::kPixelAlpha) != 0) {
        return pixelFormat.rgbBitCount == 8 ? Format::A8_UNorm : Format::Unknown;
    }
    if ((pixelFormat.flags & dds::kPixelFourCC) != 0) {
        return FourCCFormat(pixelFormat.fourCC);
    }
    return Format::Unknown;
}

std::uint32_t FormatBitsPerPixel(Format format) {
    const auto value = static_cast<std::uint32_t>(format);
    if (value >= 1 && value <= 4) {
        return 128;
    }
    if (value >= 5 && value <= 8) {
        return 96;
    }
    if (value >= 9 && value <= 22) {
        return 64;
    }
    if ((value >= 23 && value <= 47) || (value >= 67 && value <= 69) || (value >= 87 && value <= 93)) {
        return 32;
    }
    if ((value >= 48 && value <= 59) || value == 85 || value == 86 || value == 115) {
        return 16;
    }
    if ((value >= 60 && value <= 65) || (value >= 73 && value <= 78) || (value >= 82 && value <= 84) ||
        (value >= 94 && value <= 99)) {
        return 8;
    }
    if ((value >= 70 && value <= 72) || (value >= 79 && value <= 81)) {
        return 4;
    }
    if (value == 66) {
        return 1;
    }
    return 0;
}

DDSSurfaceSize ComputeSurfaceSize(std::uint32_t width, std::uint32_t height, Format format) {
    std::uint64_t blockBytes = 0;
    if (IsBetween(format, Format::BC1_Typeless, Format::BC1_UNorm_SRGB) ||
        IsBetween(format, Format::BC4_Typeless, Format::BC4_SNorm)) {
        blockBytes = 8;
    } else if (IsBetween(format, Format::BC2_Typeless, Format::BC3_UNorm_SRGB) ||
               IsBetween(format, Format::BC5_Typeless, Format::BC5_SNorm) ||
               IsBetween(format, Format::BC6H_Typeless, Format::BC7_UNorm_SRGB)) {
        blockBytes = 16;
    }
    DDSSurfaceSize size;
    if (blockBytes != 0) {
        const std::uint64_t blocksAcross = width == 0 ? 0 : std::max<std::uint64_t>(1, (width + 3ull) / 4);
        const std::uint64_t blocksDown = height == 0 ? 0 : std::max<std::uint64_t>(1, (height + 3ull) / 4);
        size.rowPitch = blocksAcross * blockBytes;
        size.rows = blocksDown;
    } else if (format == Format::R8G8_B8G8_UNorm || format == Format::G8R8_G8B8_UNorm) {
        size.rowPitch = ((width + 1ull) / 2) * 4;
        size.rows = height;
    } else {
        size.rowPitch = (std::uint64_t{width} * FormatBitsPerPixel(format) + 7) / 8;
        size.rows = height;
    }
    // Only sizes far beyond the loader's limits can overflow; they saturate so that no data can hold them.
    const std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    size.sliceSize = size.rows != 0 && size.rowPitch > kMax / size.rows ? kMax : size.rowPitch * size.rows;
    return size;
}

HRESULT FillSubresourceTable(DDSTextureLayout& layout, std::uint32_t sizeCap, const std::uint8_t* pixels,
                             std::uint64_t pixelLength) {
    if (pixels == nullptr) {
        return kE_POINTER;
    }
    const std::uint32_t topWidth = layout.width;
    const std::uint32_t topHeight = layout.height;
    const std::uint32_t topDepth = layout.depth;
    layout.width = layout.height = layout.depth = 0;
    layout.skippedLevels = 0;
    layout.subresources.clear();
    try {
        layout.subresources.reserve(std::size_t{layout.mipCount} * layout.arraySize);
    } catch (const std::exception&) { // bad_alloc, or length_error for counts beyond the limits
        return kE_OUTOFMEMORY;
    }

    // Offsets stay in 64 bits: levels of the largest allowed textures reach 4 GiB each.
    std::uint64_t offset = 0;
    for (std::uint32_t element = 0; element < layout.arraySize; ++element) {
        std::uint32_t w = topWidth;
        std::uint32_t h = topHeight;
        std::uint32_t d = topDepth;
        for (std::uint32_t level = 0; level < layout.mipCount; ++level) {
            const DDSSurfaceSize surface = ComputeSurfaceSize(w, h, layout.format);
            const std::uint64_t bytesLeft = pixelLength - offset;
            if (d != 0 && surface.sliceSize > bytesLeft / d) {
                layout.subresources.clear();
                return kHandleEof;
            }
            const bool taken =
                layout.mipCount <= 1 || sizeCap == 0 || (w <= sizeCap && h <= sizeCap && d <= sizeCap);
            if (taken) {
                layout.subresources.push_back(
                    {pixels + offset, static_cast<std::uint32_t>(surface.rowPitch), surface.sliceSize});
                if (layout.width == 0) {
                    layout.width = w;
                    layout.height = h;
                    layout.depth = d;
                }
            } else if (element == 0) {
                ++layout.skippedLevels;
            }
            offset += surface.sliceSize * d;
            w = std::max<std::uint32_t>(w / 2, 1);
            h = std::max<std::uint32_t>(h / 2, 1);
            d = std::max<std::uint32_t>(d / 2, 1);
        }
    }
    return layout.subresources.empty() ? kE_FAIL : kS_OK;
}

std::uint32_t DDSRetrySizeCap(std::uint32_t featureLevel, DDSDimension dimension, bool cube) {
    const bool is3D = dimension == DDSDimension::Texture3D;
    switch (featureLevel) {
    case 0x9100:
    case 0x9200:
        return cube ? 512 : is3D ? 256 : 2048;
    case 0x9300:
        return is3D ? 256 : 4096;
    default:
        return is3D ? 2048 : 8192;
    }
}

std::string DescribeDDSLayoutFailure(HRESULT result) {
    switch (static_cast<std::uint32_t>(result)) {
    case 0x80004005u:
        return "not a DDS image (too short, or a bad magic or header size)";
    case 0x8007000Du:
        return "the DDS header contradicts itself (array size 0, a 1D texture with a height, a volume "
               "without depth, or an empty side)";
    case 0x80070032u:
        return "the DDS image has a format, shape or size the texture loader does not support";
    case 0x80070026u:
        return "the DDS pixel data end before the last level";
    case 0x8007000Eu:
        return "not enough memory to read the DDS image";
    default:
        return "the DDS image cannot be laid out";
    }
}

} // namespace tavro
