#pragma once
// The demo's texture packs: one per schedule row, a pattern with the row number written large over it
// in several places, so any screenshot of the model tells which row it is.
#include "authoring/demo/RgbaImage.h"

#include <cstdint>
#include <vector>

namespace tavro::authoring {

struct DemoTextureChoice {
    std::uint8_t format;  // a g1t::FormatCode
    std::uint32_t width;  // a power of two
    std::uint32_t height; // a power of two
};

// The format and size of a row's texture. Between them the rows use all five formats and sizes from
// 64 to 2048 at scale 1; a smaller scale shrinks the sizes (never below 16).
DemoTextureChoice ChooseDemoTexture(std::uint32_t row, float scale);

// The row's picture: a pattern in the row's own colours with the row number over it.
RgbaImage MakeDemoImage(std::uint32_t row, std::uint32_t width, std::uint32_t height);

// The row's whole G1T pack; some packs carry a second, small texture after the one shown.
std::vector<std::uint8_t> MakeDemoTexturePack(std::uint32_t row, float scale);

} // namespace tavro::authoring
