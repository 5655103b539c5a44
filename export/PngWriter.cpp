#include "export/PngWriter.h"

#include <limits>
#include <new>

// The encoder's code is private to this file, so no other copy in the program can clash with it.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace tavro {
namespace {

// The encoder filters rows into one int-sized block (a filter byte per row) and grows its compressed
// output by doubling an int count; a match can cost up to 31 bits for 3 bytes. A third of the int range
// for the filtered rows keeps every one of those sizes from overflowing.
constexpr std::uint64_t kMaxFilteredBytes = std::numeric_limits<int>::max() / 3;

std::uint64_t FilteredBytes(std::uint32_t width, std::uint32_t height) {
    return (std::uint64_t{width} * 4 + 1) * height;
}

struct PngSink {
    std::vector<std::uint8_t>& bytes;
    bool outOfMemory = false;
};

// The encoder hands its output over in pieces and cannot be told to stop, so a failed append is
// remembered rather than thrown through the encoder's C code.
void AppendPngBytes(void* context, void* data, int size) {
    auto& sink = *static_cast<PngSink*>(context);
    if (sink.outOfMemory) {
        return;
    }
    const auto* begin = static_cast<const std::uint8_t*>(data);
    try {
        sink.bytes.insert(sink.bytes.end(), begin, begin + size);
    } catch (const std::bad_alloc&) {
        sink.outOfMemory = true;
    }
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

bool EncodePng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
               std::vector<std::uint8_t>& png) {
    png.clear();
    if (!PngSizeFits(width, height) || rgba.size() != std::uint64_t{width} * height * 4) {
        return false;
    }
    PngSink sink{png};
    const int w = static_cast<int>(width);
    const bool encoded = stbi_write_png_to_func(AppendPngBytes, &sink, w, static_cast<int>(height), 4,
                                                rgba.data(), w * 4) != 0;
    if (!encoded || sink.outOfMemory) {
        png.clear();
        return false;
    }
    return true;
}

} // namespace tavro
