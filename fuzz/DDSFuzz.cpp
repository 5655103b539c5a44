// The DDS layout logic on arbitrary images: every subresource it hands out must lie inside the image, as
// a device reads whole levels from them; with and without a size cap.
#include "fuzz/FuzzTarget.h"
#include "texture/DDSLayout.h"

#include <cstdlib>

namespace {

volatile std::uint8_t sink;

void CheckLayout(const tavro::DDSTextureLayout& layout, const std::uint8_t* data, std::size_t size) {
    if (layout.subresources.size() != std::size_t{layout.MipLevels()} * layout.arraySize) {
        std::abort();
    }
    for (const tavro::DDSSubresource& entry : layout.subresources) {
        const auto offset = static_cast<std::size_t>(entry.data - data);
        if (entry.data < data || offset > size || entry.slicePitch > size - offset) {
            std::abort();
        }
        if (entry.slicePitch != 0) { // touched so that the sanitizers see a bad entry
            sink = entry.data[0];
            sink = entry.data[entry.slicePitch - 1];
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::uint32_t sizeCap : {0u, 4u}) {
        tavro::DDSTextureLayout layout;
        if (tavro::Succeeded(tavro::LayOutDDSTexture(data, size, sizeCap, layout))) {
            CheckLayout(layout, data, size);
        }
    }
    return 0;
}
