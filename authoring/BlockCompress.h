#pragma once
// Block compression of RGBA8 images for authoring textures: BC1 (DXT1), BC2 (DXT3) and BC3 (DXT5).
#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

enum class BlockFormat { BC1, BC2, BC3 };

// Bytes of one 4 x 4 block: 8 for BC1, 16 for BC2 and BC3.
std::uint32_t BlockBytes(BlockFormat format);

// Compresses a width x height RGBA8 image (rows top to bottom, 4 bytes per pixel) into blocks, row of
// blocks by row of blocks. Edge blocks of sizes that are not multiples of 4 repeat the last row and
// column. Returns an empty array when width or height is 0 or rgba is not width * height * 4 bytes.
std::vector<std::uint8_t> CompressBlocks(BlockFormat format, std::span<const std::uint8_t> rgba,
                                         std::uint32_t width, std::uint32_t height);

} // namespace tavro::authoring
