#pragma once
// The platform-free half of the DDS loader: header checks, format mapping, surface sizes and the table of
// subresources a device needs to create the texture. Nothing here touches a device; the device half
// creates the texture from a DDSTextureLayout and, when that fails for a mip chain, lays the image out
// again with DDSRetrySizeCap and retries once.
#include "gpu/Format.h"
#include "gpu/HResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// Resource dimensions, numbered as the DX10 extension numbers them.
enum class DDSDimension : std::uint32_t { Texture1D = 2, Texture2D = 3, Texture3D = 4 };

// The pixel-format block of a DDS header (ddspf).
struct DDSPixelFormat {
    std::uint32_t size = 0;
    std::uint32_t flags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t rgbBitCount = 0;
    std::uint32_t rBitMask = 0;
    std::uint32_t gBitMask = 0;
    std::uint32_t bBitMask = 0;
    std::uint32_t aBitMask = 0;
};

// Initial data of one subresource: `slicePitch` bytes per depth slice starting at `data`, which points
// into the caller's image. A level of depth d occupies slicePitch * d bytes, all inside the image.
struct DDSSubresource {
    const std::uint8_t* data = nullptr;
    std::uint32_t rowPitch = 0;
    std::uint64_t slicePitch = 0; // 64-bit: a 16384 x 16384 level of four floats is exactly 4 GiB
};

// Everything a device needs to create the texture and its view.
struct DDSTextureLayout {
    DDSDimension dimension = DDSDimension::Texture2D;
    gpu::Format format = gpu::Format::Unknown;
    std::uint32_t width = 0;         // of the first level taken
    std::uint32_t height = 0;        // of the first level taken
    std::uint32_t depth = 0;         // of the first level taken
    std::uint32_t mipCount = 0;      // levels in the image (dwMipMapCount, 0 read as 1)
    std::uint32_t skippedLevels = 0; // top levels left out by the size cap
    std::uint32_t arraySize = 0;     // elements; six per cube
    bool cube = false;
    // Element by element, each element's taken levels from the most detailed.
    std::vector<DDSSubresource> subresources;

    // Mip levels of the texture to create.
    std::uint32_t MipLevels() const { return mipCount - skippedLevels; }
};

// Size of one surface (one depth slice of one level).
struct DDSSurfaceSize {
    std::uint64_t rowPitch = 0;
    std::uint64_t rows = 0;
    std::uint64_t sliceSize = 0; // rowPitch * rows
};

// Checks the image's header and lays out its subresources. sizeCap 0 takes every level; otherwise a
// mip chain starts at the first level no larger than sizeCap in any dimension. The table points into
// bytes, which must outlive the layout, and every level it describes lies inside them. Returns S_OK, or:
// E_INVALIDARG for null bytes; E_FAIL for a short image or bad magic or sizes, or no level taken;
// ERROR_INVALID_DATA (as an HRESULT) for contradictory headers and for a zero width, height or depth;
// ERROR_NOT_SUPPORTED for formats, shapes and sizes beyond the loader, and for what a device would refuse
// (cube faces that are not square, more mip levels than the full chain); ERROR_HANDLE_EOF when the pixel
// data end before the last level; E_OUTOFMEMORY.
HRESULT LayOutDDSTexture(const std::uint8_t* bytes, std::size_t length, std::uint32_t sizeCap,
                         DDSTextureLayout& layout);

// What a failure of LayOutDDSTexture means, in a few words for a one-line error.
std::string DescribeDDSLayoutFailure(HRESULT result);

// The format a plain (non-DX10) pixel-format block describes, or Format::Unknown.
gpu::Format DDSPixelFormatToDXGI(const DDSPixelFormat& pixelFormat);

// Bits per pixel of a format (of a block, per pixel, for block-compressed ones); 0 if unsupported.
std::uint32_t FormatBitsPerPixel(gpu::Format format);

// Row pitch, rows and byte size of one width x height surface of the format.
DDSSurfaceSize ComputeSurfaceSize(std::uint32_t width, std::uint32_t height, gpu::Format format);

// Lays out the subresources of pixelLength bytes at pixels, element by element, each element holding its
// whole mip chain. On entry layout holds the image's format, level-0 size, mipCount and arraySize; on
// success subresources, skippedLevels and the size of the first taken level are filled in. Returns S_OK;
// E_POINTER for null pixels; ERROR_HANDLE_EOF when a level ends beyond pixelLength; E_FAIL when no level
// is taken.
HRESULT FillSubresourceTable(DDSTextureLayout& layout, std::uint32_t sizeCap, const std::uint8_t* pixels,
                             std::uint64_t pixelLength);

// The size cap for the retry on a device of the given feature level (0x9100, 0x9200, 0x9300, 0xA000...).
std::uint32_t DDSRetrySizeCap(std::uint32_t featureLevel, DDSDimension dimension, bool cube);

} // namespace tavro
