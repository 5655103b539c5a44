#include "tools/FrameCapture.h"

#include <cstring>

namespace tavro::tools {
namespace {

bool ReadFrame(RendererState& renderer, gpu::PresentedImage& image) {
    return Succeeded(renderer.swapChain->ReadPresentedImage(&image)) &&
           image.rgba.size() == std::size_t{image.width} * image.height * 4;
}

} // namespace

bool CaptureFrame(RendererState& renderer, gpu::PresentedImage& image) {
    if (!ReadFrame(renderer, image)) {
        return false;
    }
    if (renderer.view.background[3] != 0.0f) {
        return true;
    }
    const ViewOptions view = renderer.view;
    renderer.view.background = {1.0f, 1.0f, 1.0f, 1.0f};
    RenderCurrentModel(renderer);
    renderer.view = view;
    gpu::PresentedImage onWhite;
    if (!ReadFrame(renderer, onWhite) || onWhite.width != image.width || onWhite.height != image.height) {
        return false;
    }
    for (std::size_t at = 0; at < image.rgba.size(); at += 4) {
        std::uint8_t* pixel = image.rgba.data() + at;
        if (std::memcmp(pixel, onWhite.rgba.data() + at, 3) == 0) {
            pixel[3] = 255;
        } else {
            std::memset(pixel, 0, 4);
        }
    }
    return true;
}

} // namespace tavro::tools
