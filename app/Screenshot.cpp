#include "app/Screenshot.h"

#include "app/ArchivePath.h"
#include "export/PngWriter.h"
#include "render/RendererState.h"

#include <cstdio>
#include <fstream>
#include <new>
#include <system_error>

namespace tavro {
namespace {

constexpr int kMaxSuffix = 999;

} // namespace

std::filesystem::path SaveScreenshot(RendererState& state, const std::filesystem::path& folder,
                                     std::uint32_t row, std::string& error) try {
    gpu::PresentedImage image;
    if (!state.swapChain || Failed(state.swapChain->ReadPresentedImage(&image))) {
        error = "no frame has been shown yet";
        return {};
    }
    std::vector<std::uint8_t> png;
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        error = "the frame cannot be encoded as PNG";
        return {};
    }
    char stem[32];
    std::snprintf(stem, sizeof stem, "row-%03u", static_cast<unsigned>(row));
    for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
        const std::string name = suffix == 1 ? std::string(stem) + ".png"
                                             : std::string(stem) + "-" + std::to_string(suffix) + ".png";
        const std::filesystem::path path = folder / name;
        std::error_code status;
        if (std::filesystem::exists(path, status) || status) {
            continue; // taken (or unknowable): never replaced
        }
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            error = "cannot write " + ToUtf8(path);
            return {};
        }
        return path;
    }
    error = std::string("every name from ") + stem + ".png to " + stem + "-999.png is taken";
    return {};
} catch (const std::bad_alloc&) {
    error = "memory ran out";
    return {};
}

} // namespace tavro
