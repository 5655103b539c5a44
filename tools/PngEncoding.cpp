#include "tools/PngEncoding.h"

#include <limits>
#include <new>

// Private to this file: the whole tool encodes through it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace tavro::tools {
namespace {

// The encoder filters rows into one int-sized block (a filter byte per row) and grows its compressed
// output by doubling an int count; a match can cost up to 31 bits for 3 bytes. A third of the int range
// for the filtered rows keeps every one of those sizes from overflowing.
constexpr std::uint64_t kMaxFilteredBytes = std::numeric_limits<int>::max() / 3;

std::uint64_t FilteredBytes(std::uint32_t width, std::uint32_t height) {
    return (std::uint64_t{width} * 4 + 1) * height;
}

void AppendBytes(void* context, void* data, int size) {
    auto* png = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    png->insert(png->end(), bytes, bytes + size);
}

} // namespace

bool PngSizeFits(std::uint32_t width, std::uint32_t height) {
    return width != 0 && height != 0 && FilteredBytes(width, height) <= kMaxFilteredBytes;
}

std::string DescribePngSizeLimit(std::uint32_t width, std::uint32_t height) {
    return "an image of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels is too large to write as PNG (at most " + std::to_string(kMaxFilteredBytes / (1 << 20)) +
           " MiB of pixels, about 13000 x 13000)";
}

bool EncodePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba,
               std::vector<std::uint8_t>& png) {
    if (!PngSizeFits(width, height) || rgba.size() != std::uint64_t{width} * height * 4) {
        return false;
    }
    png.clear();
    try {
        const int w = static_cast<int>(width);
        return stbi_write_png_to_func(AppendBytes, &png, w, static_cast<int>(height), 4, rgba.data(),
                                      w * 4) != 0;
    } catch (const std::bad_alloc&) {
        png.clear();
        return false;
    }
}

} // namespace tavro::tools
