// The texture export: a G1T pack or DDS image decoded to 8-bit RGBA and encoded as PNG. Input: the
// slice and mip level to take (one byte each), then the texture bytes. A decoded picture must hold
// exactly width x height pixels, and one whose size the PNG encoder accepts must encode.
#include "export/PngWriter.h"
#include "export/TextureImage.h"
#include "fuzz/FuzzTarget.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const tavro::TextureImageChoice choice{data[0], data[1]};
    tavro::TextureImage image;
    std::string error;
    if (!tavro::DecodeTextureImage({data + 2, size - 2}, choice, image, error)) {
        if (error.empty() || error.find('\n') != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() != std::size_t{image.width} * image.height * 4) {
        std::abort();
    }
    std::vector<std::uint8_t> png;
    if (tavro::PngSizeFits(image.width, image.height) &&
        !tavro::EncodePng(image.width, image.height, image.rgba, png)) {
        std::abort();
    }
    return 0;
}
