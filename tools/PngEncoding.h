#pragma once
// PNG encoding of 8-bit RGBA images for the tool's commands. The encoder does its size arithmetic in
// int, so an image is accepted only when its filtered rows and their worst-case compressed form stay
// well inside that range; a command checks the size with PngSizeFits before it draws anything.
#include <cstdint>
#include <string>
#include <vector>

namespace tavro::tools {

bool PngSizeFits(std::uint32_t width, std::uint32_t height);

// One line naming the size and the limit, for a command that refuses an image PngSizeFits rejects.
std::string DescribePngSizeLimit(std::uint32_t width, std::uint32_t height);

// Encodes width x height pixels (rows top to bottom, 4 bytes each) into png. False when the size does
// not fit, rgba is not that many bytes, the encoder fails or memory runs out.
bool EncodePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgba,
               std::vector<std::uint8_t>& png);

} // namespace tavro::tools
