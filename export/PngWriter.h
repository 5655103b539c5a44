#pragma once
// PNG encoding of 8-bit RGBA images, for everything the program hands to other tools: exported textures,
// rendered frames and screenshots. The encoder does its size arithmetic in int, so an image is accepted
// only when its filtered rows and their worst-case compressed form stay well inside that range; a caller
// that draws an image checks its size with PngSizeFits before drawing anything.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavro {

bool PngSizeFits(std::uint32_t width, std::uint32_t height);

// One line naming the size and the limit, for a command that refuses an image PngSizeFits rejects.
std::string DescribePngSizeLimit(std::uint32_t width, std::uint32_t height);

// Encodes width x height pixels of 4 bytes (R, G, B, A), rows top to bottom with no padding, as an 8-bit
// RGBA PNG into png (replacing its contents). False, with png empty, when the size does not fit, rgba is
// not width * height * 4 bytes, the encoder fails or memory runs out.
bool EncodePng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
               std::vector<std::uint8_t>& png);

} // namespace tavro
