#include "authoring/BlockCompress.h"

#include <algorithm>
#include <cstring>

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

namespace tavro::authoring {
namespace {

// BC2's alpha half: sixteen 4-bit alphas, pixel 0 in the low nibble of byte 0.
void CompressExplicitAlpha(std::uint8_t* destination, const std::uint8_t* block) {
    for (int pair = 0; pair < 8; ++pair) {
        const std::uint8_t first = block[(2 * pair) * 4 + 3];
        const std::uint8_t second = block[(2 * pair + 1) * 4 + 3];
        // Rounded to the nearest of the 16 levels (x * 15 / 255).
        const auto quantize = [](std::uint8_t alpha) {
            return static_cast<std::uint8_t>((alpha * 15 + 127) / 255);
        };
        destination[pair] = static_cast<std::uint8_t>(quantize(first) | quantize(second) << 4);
    }
}

void CompressBlock(BlockFormat format, std::uint8_t* destination, const std::uint8_t* block) {
    switch (format) {
    case BlockFormat::BC1:
        stb_compress_dxt_block(destination, block, 0, STB_DXT_NORMAL);
        break;
    case BlockFormat::BC2:
        CompressExplicitAlpha(destination, block);
        stb_compress_dxt_block(destination + 8, block, 0, STB_DXT_NORMAL);
        break;
    case BlockFormat::BC3:
        stb_compress_dxt_block(destination, block, 1, STB_DXT_NORMAL);
        break;
    }
}

} // namespace

std::uint32_t BlockBytes(BlockFormat format) {
    return format == BlockFormat::BC1 ? 8 : 16;
}

std::vector<std::uint8_t> CompressBlocks(BlockFormat format, std::span<const std::uint8_t> rgba,
                                         std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || rgba.size() != std::size_t{width} * height * 4) {
        return {};
    }
    const std::uint32_t blocksAcross = (width + 3) / 4;
    const std::uint32_t blocksDown = (height + 3) / 4;
    const std::uint32_t blockBytes = BlockBytes(format);
    std::vector<std::uint8_t> blocks(std::size_t{blocksAcross} * blocksDown * blockBytes);
    std::uint8_t* out = blocks.data();
    std::uint8_t block[16 * 4];
    for (std::uint32_t by = 0; by < blocksDown; ++by) {
        for (std::uint32_t bx = 0; bx < blocksAcross; ++bx) {
            for (std::uint32_t y = 0; y < 4; ++y) {
                const std::uint32_t row = std::min(by * 4 + y, height - 1);
                for (std::uint32_t x = 0; x < 4; ++x) {
                    const std::uint32_t column = std::min(bx * 4 + x, width - 1);
                    std::memcpy(block + (y * 4 + x) * 4,
                                rgba.data() + (std::size_t{row} * width + column) * 4, 4);
                }
            }
            CompressBlock(format, out, block);
            out += blockBytes;
        }
    }
    return blocks;
}

} // namespace tavro::authoring
