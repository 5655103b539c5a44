#pragma once
// Writing G1T texture packs: the header, the record offset table and each texture's record and pixels.
#include "texture/G1TFormat.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavro::authoring {

// One texture of a pack. Its size is 2^widthLog2 x 2^heightLog2 (each log at most 15).
struct G1TTexture {
    std::uint8_t format = g1t::kFormatRGBA8; // a g1t::FormatCode, or any byte to build bad packs
    std::uint8_t widthLog2 = 0;
    std::uint8_t heightLog2 = 0;
    std::vector<std::uint8_t> pixels; // written as given after the record
};

// A pack holding the textures in order: header, offset table right after it, then record and pixels of
// each texture. Returns an empty array for no textures.
std::vector<std::uint8_t> WriteG1T(std::span<const G1TTexture> textures);

// A texture of the given format made from a width x height RGBA8 image (rows top to bottom): RGBA8 is
// stored as given, BGRA8 with red and blue swapped, DXT1/3/5 block-compressed. Width and height must be
// powers of two from 1 to 32768 and rgba width * height * 4 bytes; otherwise pixels is left empty and
// false is returned.
bool MakeG1TTexture(std::uint8_t format, std::span<const std::uint8_t> rgba, std::uint32_t width,
                    std::uint32_t height, G1TTexture& texture);

} // namespace tavro::authoring
